# Installs the build in BUILD_DIR into an empty PREFIX and fails unless it holds exactly the files
# that cmake/installed-files lists.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
file(GLOB_RECURSE installed LIST_DIRECTORIES false RELATIVE ${PREFIX} ${PREFIX}/*)
list(SORT installed)
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/../cmake/installed-files expected REGEX "^[^#]")
if(NOT expected OR NOT installed STREQUAL expected)
  message(FATAL_ERROR "installed '${installed}', expected '${expected}'")
endif()
