# What is installed beside the program, and the Debian package that holds it all.

# The manual page and the changelog are installed compressed, as Debian keeps them. gzip -n leaves
# the time and the file name out of the header, so that the same text compresses to the same bytes.
find_program(GZIP gzip REQUIRED)
function(xcross_gzip output_variable source)
  get_filename_component(name ${source} NAME)
  set(copy ${CMAKE_CURRENT_BINARY_DIR}/doc/${name})
  add_custom_command(OUTPUT ${copy}.gz
                     COMMAND ${CMAKE_COMMAND} -E copy ${source} ${copy}
                     COMMAND ${GZIP} -9nf ${copy}
                     DEPENDS ${source} VERBATIM)
  set(${output_variable} ${copy}.gz PARENT_SCOPE)
endfunction()
# The manual page's header names the version and the day of the release.
set(XCROSS_MAN_PAGE ${CMAKE_CURRENT_BINARY_DIR}/man/xcross.1)
configure_file(${PROJECT_SOURCE_DIR}/man/xcross.1.in ${XCROSS_MAN_PAGE} @ONLY)
xcross_gzip(man_page ${XCROSS_MAN_PAGE})
xcross_gzip(changelog_gz ${XCROSS_CHANGELOG})
add_custom_target(compressed-docs ALL DEPENDS ${man_page} ${changelog_gz})

# The license, in Debian's machine-readable copyright format: the terms of LICENSE, each line
# indented by one space and each blank line written as a lone dot.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE license)
string(REGEX MATCH "Copyright \\(c\\) ([^\n]+)" _ "${license}")
set(copyright_holders "${CMAKE_MATCH_1}")
string(FIND "${license}" "Permission is hereby granted" terms_start)
string(SUBSTRING "${license}" ${terms_start} -1 license_terms)
string(STRIP "${license_terms}" license_terms)
string(REPLACE "\n\n" "\n.\n" license_terms "${license_terms}")
string(REPLACE "\n" "\n " license_terms "${license_terms}")
set(copyright_file ${CMAKE_CURRENT_BINARY_DIR}/doc/copyright)
file(CONFIGURE OUTPUT ${copyright_file} CONTENT
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: xcross

Files: *
Copyright: ${copyright_holders}
License: Expat
 ${license_terms}
")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE)

install(FILES ${man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${copyright_file} ${changelog_gz} DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The linker's map of what it took in: the notices, the SBOMs and the package's Static-Built-Using
# find in it the Debian packages whose files were linked into the program.
set(XCROSS_LINK_MAP ${CMAKE_CURRENT_BINARY_DIR}/xcross.map)
target_link_options(xcross PRIVATE -Wl,-Map=${XCROSS_LINK_MAP})

# The Debian package, made with `cpack -G DEB` (the package and cross-package presets), for the
# machine the build is for.
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${XCROSS_ARCH})
set(CPACK_PACKAGE_CONTACT "${XCROSS_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION
    "xcross reads one integer, the size, from standard input and draws on standard
output the two diagonals of a square of size by size character cells: the
letter X on a background of spaces, one line per row. A size that is not a
positive odd number is answered with the text ERROR instead. Each row is
written as soon as it is drawn, so even the largest cross streams in constant
memory.")
set(CPACK_DEBIAN_PACKAGE_VERSION ${XCROSS_VERSION})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# A package is made only where dpkg-shlibdeps can find its Depends: the package presets say so
# when they configure, before anything is built.
option(XCROSS_PACKAGE "Configure for making the Debian package (needs dpkg-dev)" OFF)
find_program(DPKG_SHLIBDEPS dpkg-shlibdeps)
if(XCROSS_PACKAGE AND NOT DPKG_SHLIBDEPS)
  message(FATAL_ERROR "the Debian package needs dpkg-shlibdeps, which is missing: "
                      "scripts/install-deps --package (Debian's dpkg-dev)")
endif()
# Read by cpack when it packs. It stamps what it packs with the release's time stamp, and names what
# was linked in statically. CPack finds a package's Depends with dpkg-shlibdeps for the machine it
# runs on alone (CPACK_DEBIAN_PACKAGE_SHLIBDEPS), not in a cross toolchain's libraries, so
# debian-depends.cmake runs it for every machine alike.
if(CMAKE_CROSSCOMPILING)
  set(cross_library_dir ${XCROSS_SYSROOT}/lib)
endif()
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_BINARY_DIR}/CPackProjectConfig.cmake)
file(GENERATE OUTPUT ${CPACK_PROJECT_CONFIG_FILE} CONTENT
"set(ENV{SOURCE_DATE_EPOCH} ${XCROSS_SOURCE_DATE_EPOCH})
set(ARCH ${XCROSS_ARCH})
set(BINARY $<TARGET_FILE:xcross>)
set(LIBRARY_DIR ${cross_library_dir})
set(DPKG_SHLIBDEPS ${DPKG_SHLIBDEPS})
include(${CMAKE_CURRENT_LIST_DIR}/debian-depends.cmake)
set(LINKED_PACKAGES ${PROJECT_SOURCE_DIR}/scripts/linked-packages)
set(LINK_MAP ${XCROSS_LINK_MAP})
include(${CMAKE_CURRENT_LIST_DIR}/static-built-using.cmake)
")
# The folders that cpack stages are made under the umask of whoever builds; the package gets them
# as Debian expects them, 755, whatever that umask is. CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
# does not serve: CMake makes the folders with those modes, and the umask still narrows them.
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/package-folder-modes.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/debian-installed-size.cmake)
include(CPack)
