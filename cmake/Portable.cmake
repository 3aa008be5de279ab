# The portable build: xcross linked fully statically, the C library included, so that the one file
# runs on any Linux of its machine, and packed with its manual page, README, license and the
# notices of what is linked into it. It is a static PIE where the toolchain can make one, so that
# it keeps address-space randomisation.
option(XCROSS_PORTABLE "Link xcross fully statically and pack it for any Linux of its machine" OFF)
if(NOT XCROSS_PORTABLE)
  return()
endif()

# A cross build links Debian's own C library for that machine (multiarch libc6-dev:ARCH), the
# same version as this machine's, rather than the cross toolchain's older copy: so one source
# package of glibc is the source of every static build.
if(CMAKE_CROSSCOMPILING)
  if(NOT EXISTS ${XCROSS_MULTIARCH}/libc.a)
    message(FATAL_ERROR "the portable build for ${XCROSS_ARCH} needs libc6-dev:${XCROSS_ARCH}: "
                        "dpkg --add-architecture ${XCROSS_ARCH}, apt-get update, and install it")
  endif()
  target_link_options(xcross PRIVATE -B${XCROSS_MULTIARCH}/ -L${XCROSS_MULTIARCH})
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

set(notices ${CMAKE_CURRENT_BINARY_DIR}/THIRD-PARTY-NOTICES)
add_custom_command(
  OUTPUT ${notices}
  COMMAND ${PROJECT_SOURCE_DIR}/scripts/third-party-notices ${XCROSS_LINK_MAP} ${XCROSS_VERSION}
          ${XCROSS_CPU} > ${notices}
  DEPENDS xcross ${PROJECT_SOURCE_DIR}/scripts/third-party-notices VERBATIM)

find_program(TAR tar REQUIRED)
set(portable_name xcross-${XCROSS_VERSION}-${XCROSS_CPU}-linux)
set(portable_files $<TARGET_FILE:xcross> ${XCROSS_MAN_PAGE} ${PROJECT_SOURCE_DIR}/README.md
                   ${PROJECT_SOURCE_DIR}/LICENSE ${notices})
add_custom_command(
  OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/${portable_name}.tar.gz
  COMMAND ${CMAKE_COMMAND} -DNAME=${portable_name} "-DFILES=${portable_files}"
          -DEPOCH=${XCROSS_SOURCE_DATE_EPOCH} -DTAR=${TAR} -DGZIP=${GZIP}
          -P ${CMAKE_CURRENT_LIST_DIR}/pack-archive.cmake
  DEPENDS ${portable_files} ${CMAKE_CURRENT_LIST_DIR}/pack-archive.cmake
  WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR} VERBATIM)
add_custom_target(portable-archive ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/${portable_name}.tar.gz)
