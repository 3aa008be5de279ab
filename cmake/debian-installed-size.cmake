# Run by cpack after it packs: CPack counts each folder's size on disk into Installed-Size (4 KiB a
# folder on ext4, far less on tmpfs), so the package would differ with the file system it was made
# on. This counts it from the files alone, as dpkg-gencontrol does (each file's size in KiB, rounded
# up, and 1 KiB for each folder), and builds the package again with dpkg-deb, which stamps it with
# SOURCE_DATE_EPOCH as cpack did. Neither the umask of whoever builds nor a setgid folder may change
# what is unpacked.
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
  if(NOT deb MATCHES "\\.deb$")
    continue()
  endif()
  set(tree ${CPACK_TOPLEVEL_DIRECTORY}/installed-size)
  file(REMOVE_RECURSE ${tree})
  execute_process(COMMAND sh -c "umask 022 && dpkg-deb --raw-extract \"$0\" \"$1\"" ${deb} ${tree}
                  COMMAND_ERROR_IS_FATAL ANY)
  # The folders dpkg-deb makes take the setgid bit of a setgid folder they are made in.
  file(CHMOD_RECURSE ${tree} DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
       GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  file(GLOB_RECURSE entries LIST_DIRECTORIES true ${tree}/*)
  set(kib 1)
  foreach(entry IN LISTS entries)
    if(entry MATCHES "^${tree}/DEBIAN(/|$)")
      continue()
    elseif(IS_DIRECTORY ${entry})
      math(EXPR kib "${kib} + 1")
    else()
      file(SIZE ${entry} size)
      math(EXPR kib "${kib} + (${size} + 1023) / 1024")
    endif()
  endforeach()
  file(READ ${tree}/DEBIAN/control control)
  string(REGEX REPLACE "\nInstalled-Size: [0-9]+\n" "\nInstalled-Size: ${kib}\n" control
                       "${control}")
  file(WRITE ${tree}/DEBIAN/control "${control}")
  execute_process(COMMAND dpkg-deb --root-owner-group -Zxz --build ${tree} ${deb}
                  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE ${tree})
endforeach()
