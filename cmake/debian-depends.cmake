# Included by cpack before it packs: sets the package's Depends to what dpkg-shlibdeps, as Debian's
# own packages are built, finds that BINARY needs of the shared libraries it was linked against
# for the Debian architecture ARCH. A cross build's libraries are found in LIBRARY_DIR, and their
# cross packages name each dependency for ARCH itself, as libc6:arm64: within a package of that
# architecture that is plain libc6, and written so.
set(work ${CPACK_TOPLEVEL_DIRECTORY}/shlibdeps)
file(REMOVE_RECURSE ${work})
file(WRITE ${work}/debian/control "Source: xcross\n\nPackage: xcross\nArchitecture: any\n")
if(LIBRARY_DIR)
  set(library_option -l${LIBRARY_DIR})
endif()
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env DEB_HOST_ARCH=${ARCH}
          dpkg-shlibdeps -O ${library_option} ${BINARY}
  WORKING_DIRECTORY ${work} OUTPUT_VARIABLE substvars ERROR_VARIABLE warnings
  OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE_RECURSE ${work})
if(NOT substvars MATCHES "shlibs:Depends=([^\n]+)")
  message(FATAL_ERROR "dpkg-shlibdeps named no dependency of ${BINARY}: ${warnings}")
endif()
string(REPLACE ":${ARCH} " " " CPACK_DEBIAN_PACKAGE_DEPENDS "${CMAKE_MATCH_1}")
