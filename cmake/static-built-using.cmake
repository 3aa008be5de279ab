# Sets CPACK_DEBIAN_PACKAGE_SOURCE so that the package's control file also carries
# Static-Built-Using: the Debian source packages, at their versions, of every file that the link of
# xcross took in statically, as scripts/linked-packages (LINKED_PACKAGES) reads them from the
# linker's map (LINK_MAP). Included by cpack before it packs, after the link.
execute_process(COMMAND ${LINKED_PACKAGES} ${LINK_MAP} OUTPUT_VARIABLE packages
                COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCHALL "[^\n]+" packages "${packages}")
set(sources "")
foreach(package IN LISTS packages)
  string(REPLACE "\t" ";" fields "${package}")
  list(GET fields 3 source)
  list(GET fields 4 source_version)
  list(APPEND sources "${source} (= ${source_version})")
endforeach()
list(REMOVE_DUPLICATES sources)
list(SORT sources)
list(JOIN sources ", " static_built_using)
# CPack writes no Static-Built-Using, but writes each field's value as it is given: the field
# follows Source, a line of its own, with the package's own name as its source.
set(CPACK_DEBIAN_PACKAGE_SOURCE "xcross\nStatic-Built-Using: ${static_built_using}")
