# Installs the build in BUILD_DIR into an empty PREFIX and fails unless it holds exactly the program,
# its compressed manual page, and its copyright and compressed changelog.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
file(GLOB_RECURSE installed LIST_DIRECTORIES false RELATIVE ${PREFIX} ${PREFIX}/*)
list(SORT installed)
set(expected bin/xcross share/doc/xcross/changelog.gz share/doc/xcross/copyright
             share/man/man1/xcross.1.gz)
if(NOT installed STREQUAL expected)
  message(FATAL_ERROR "installed '${installed}', expected '${expected}'")
endif()
