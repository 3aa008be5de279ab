# GoogleTest for the tests: Debian's libgtest-dev for this machine, or, in a cross build, the same
# version built from the sources that Debian ships with it in /usr/src/googletest.
if(NOT CMAKE_CROSSCOMPILING)
  find_package(GTest REQUIRED)
  return()
endif()
set(googletest_source /usr/src/googletest)
if(NOT EXISTS ${googletest_source}/googletest/CMakeLists.txt)
  message(FATAL_ERROR "cross builds of the tests need GoogleTest's sources in ${googletest_source} "
                      "(Debian's googletest package)")
endif()
set(BUILD_GMOCK OFF)
set(INSTALL_GTEST OFF)
add_subdirectory(${googletest_source} googletest EXCLUDE_FROM_ALL SYSTEM)
# Its sources are not held to this project's warnings.
set_property(TARGET gtest gtest_main PROPERTY COMPILE_OPTIONS -w)
