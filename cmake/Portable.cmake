# The portable build: xcross linked fully statically, the C library included, so that the one file
# runs on any x86-64 Linux, and packed with its manual page, README and license. It is a static PIE
# where the toolchain can make one, so that it keeps address-space randomisation.
option(XCROSS_PORTABLE "Link xcross fully statically and pack it for any x86-64 Linux" OFF)
if(NOT XCROSS_PORTABLE)
  return()
endif()

include(CheckLinkerFlag)
check_linker_flag(CXX -static-pie XCROSS_HAVE_STATIC_PIE)
# CMake links a PIE with -pie after the target's own options, which would undo a static link given
# there, so in this build the link option that makes a PIE is the static one.
if(XCROSS_HAVE_STATIC_PIE)
  set(CMAKE_CXX_LINK_OPTIONS_PIE -static-pie)
else()
  set(CMAKE_CXX_LINK_OPTIONS_PIE -static)
endif()
target_link_options(xcross PRIVATE -s)

find_program(TAR tar REQUIRED)
set(portable_name xcross-${PROJECT_VERSION}-x86_64-linux)
set(portable_files $<TARGET_FILE:xcross> ${PROJECT_SOURCE_DIR}/man/xcross.1
                   ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE)
add_custom_command(
  OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/${portable_name}.tar.gz
  COMMAND ${CMAKE_COMMAND} -DNAME=${portable_name} "-DFILES=${portable_files}"
          -DEPOCH=${XCROSS_RELEASE_EPOCH} -DTAR=${TAR} -DGZIP=${GZIP}
          -P ${CMAKE_CURRENT_LIST_DIR}/pack-portable.cmake
  DEPENDS ${portable_files} ${CMAKE_CURRENT_LIST_DIR}/pack-portable.cmake
  WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR} VERBATIM)
add_custom_target(portable-archive ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/${portable_name}.tar.gz)
