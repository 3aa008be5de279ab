# Builds for the machine that XCROSS_ARCH names (a Debian architecture of cmake/architectures) with
# Debian's cross toolchain for it, and runs what it builds, the tests among them, under qemu-user.
include(${CMAKE_CURRENT_LIST_DIR}/Machines.cmake)
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES XCROSS_ARCH)
if(NOT XCROSS_ARCH)
  message(FATAL_ERROR "cross builds need XCROSS_ARCH, a Debian architecture of "
                      "cmake/architectures: XCROSS_ARCH=arm64 cmake --workflow --preset "
                      "cross-tests")
endif()
xcross_select_machine(arch ${XCROSS_ARCH})

set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ${XCROSS_CPU})
find_program(XCROSS_CROSS_CXX ${XCROSS_TRIPLET}-g++)
if(NOT XCROSS_CROSS_CXX)
  message(FATAL_ERROR "${XCROSS_TRIPLET}-g++, the cross compiler for ${XCROSS_ARCH}, is missing: "
                      "apt-get install g++-${XCROSS_TRIPLET} (or scripts/install-deps --release)")
endif()
set(CMAKE_CXX_COMPILER ${XCROSS_CROSS_CXX})
set(CMAKE_C_COMPILER ${XCROSS_TRIPLET}-gcc)  # GoogleTest's build enables C as well
set(CMAKE_FIND_ROOT_PATH ${XCROSS_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Only the tests need the emulator; a release is made without it.
find_program(XCROSS_QEMU_PROGRAM ${XCROSS_QEMU})
if(XCROSS_QEMU_PROGRAM)
  list(POP_FRONT XCROSS_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${XCROSS_QEMU_PROGRAM} ${XCROSS_EMULATOR})
endif()
