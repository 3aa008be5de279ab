# Builds for the machine that XCROSS_ARCH names (a Debian architecture of cmake/architectures) with
# Debian's cross toolchain for it, and runs what it builds, the tests among them, under qemu-user
# with that toolchain's C library as the root of its file names.
include(${CMAKE_CURRENT_LIST_DIR}/Architecture.cmake)
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES XCROSS_ARCH)
if(NOT XCROSS_ARCH)
  message(FATAL_ERROR "cross builds need XCROSS_ARCH, a Debian architecture of "
                      "cmake/architectures: XCROSS_ARCH=arm64 cmake --workflow --preset "
                      "cross-tests")
endif()
xcross_read_architecture()

set(CMAKE_SYSTEM_NAME Linux)
string(REGEX MATCH "^[^-]+" CMAKE_SYSTEM_PROCESSOR ${XCROSS_TRIPLET})
set(CMAKE_CXX_COMPILER ${XCROSS_TRIPLET}-g++)
set(CMAKE_C_COMPILER ${XCROSS_TRIPLET}-gcc)  # GoogleTest's build enables C as well
set(CMAKE_FIND_ROOT_PATH /usr/${XCROSS_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Only the tests need the emulator; a release is made without it.
find_program(XCROSS_QEMU_PROGRAM ${XCROSS_QEMU})
if(NOT XCROSS_QEMU_PROGRAM)
  return()
endif()
# The library path keeps the loader from taking the C library of a multiarch install (arm64's, which
# the static aarch64 build needs) from the host's ld.so.cache: loaded beside the cross toolchain's
# own loader, it leaves a child process spinning after fork.
set(CMAKE_CROSSCOMPILING_EMULATOR ${XCROSS_QEMU_PROGRAM} -L /usr/${XCROSS_TRIPLET}
    -E LD_LIBRARY_PATH=/usr/${XCROSS_TRIPLET}/lib)
