# cmake -P cmake/release-facts.cmake: prints the version of the release and its date in seconds
# since the epoch, as the newest changelog entry gives them, for the release scripts.
include(${CMAKE_CURRENT_LIST_DIR}/Changelog.cmake)
execute_process(COMMAND ${CMAKE_COMMAND} -E echo "${XCROSS_VERSION} ${XCROSS_RELEASE_EPOCH}")
