# Sets CPACK_DEBIAN_PACKAGE_DEPENDS to what dpkg-shlibdeps (DPKG_SHLIBDEPS), as Debian's own
# packages are built, finds that BINARY needs of the shared libraries it was linked against for the
# Debian architecture ARCH. A cross build's libraries are found in LIBRARY_DIR, and their cross
# packages name each dependency for ARCH itself, as libc6:arm64: within a package of that
# architecture that is plain libc6, and written so. Included by cpack before it packs; run as a
# script (cmake -DARCH=... -DBINARY=... [-DLIBRARY_DIR=...] -DCPACK_TOPLEVEL_DIRECTORY=<scratch
# folder> -P), it prints the Depends.
if(NOT DPKG_SHLIBDEPS)
  find_program(DPKG_SHLIBDEPS dpkg-shlibdeps)
endif()
if(NOT DPKG_SHLIBDEPS)
  message(FATAL_ERROR "dpkg-shlibdeps is missing: scripts/install-deps --package (Debian's dpkg-dev)")
endif()
set(work ${CPACK_TOPLEVEL_DIRECTORY}/shlibdeps)
file(REMOVE_RECURSE ${work})
file(WRITE ${work}/debian/control "Source: xcross\n\nPackage: xcross\nArchitecture: any\n")
if(LIBRARY_DIR)
  set(library_option -l${LIBRARY_DIR})
endif()
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env DEB_HOST_ARCH=${ARCH}
          ${DPKG_SHLIBDEPS} -O ${library_option} ${BINARY}
  WORKING_DIRECTORY ${work} RESULT_VARIABLE status OUTPUT_VARIABLE substvars
  ERROR_VARIABLE warnings OUTPUT_STRIP_TRAILING_WHITESPACE)
file(REMOVE_RECURSE ${work})
if(NOT status EQUAL 0 OR NOT substvars MATCHES "shlibs:Depends=([^\n]+)")
  message(FATAL_ERROR "dpkg-shlibdeps named no dependency of ${BINARY} (${status}): ${warnings}")
endif()
string(REPLACE ":${ARCH} " " " CPACK_DEBIAN_PACKAGE_DEPENDS "${CMAKE_MATCH_1}")
if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  execute_process(COMMAND ${CMAKE_COMMAND} -E echo "${CPACK_DEBIAN_PACKAGE_DEPENDS}")
endif()
