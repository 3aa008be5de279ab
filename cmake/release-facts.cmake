# cmake -P cmake/release-facts.cmake: prints the version of the release, the time stamp of what it
# packs, in seconds since the epoch, and its maintainer ("name <address>"), for the release scripts.
include(${CMAKE_CURRENT_LIST_DIR}/Changelog.cmake)
execute_process(COMMAND ${CMAKE_COMMAND} -E echo
                        "${XCROSS_VERSION} ${XCROSS_SOURCE_DATE_EPOCH} ${XCROSS_MAINTAINER}")
