# The one reader of cmake/architectures, for CMake and, run as `cmake -P cmake/Machines.cmake`, for
# the scripts, which it prints every machine for: one line each, its fields as name=value, separated
# by tabs. Besides the table's columns, each machine has
#   cpu       the triplet's first part, as in the name of its static build
#   sysroot   the root of Debian's cross toolchain for it: its C library and loader
#   multiarch the folder of its libraries in a multiarch install (libc6-dev:ARCH)
#   emulator  the command that runs its programs here, under qemu-user with the cross toolchain's
#             C library as the root of file names; the library path keeps the loader from taking a
#             multiarch C library (arm64's, which the static aarch64 build needs) from the host's
#             ld.so.cache: loaded beside the cross toolchain's own loader, it leaves a child process
#             spinning after fork
set(XCROSS_MACHINE_COLUMNS arch triplet qemu control_flow features static_kernel)
set(XCROSS_MACHINE_FIELDS ${XCROSS_MACHINE_COLUMNS} cpu sysroot multiarch emulator)
set(XCROSS_MACHINE_TABLE ${CMAKE_CURRENT_LIST_DIR}/architectures)

# The CPU of a GNU triplet: its first part.
function(xcross_cpu_of triplet output_variable)
  string(REGEX MATCH "^[^-]+" cpu "${triplet}")
  set(${output_variable} ${cpu} PARENT_SCOPE)
endfunction()

# Sets <prefix>_<field> in the caller for each field of ROW, a line of the table.
function(xcross_parse_machine row prefix)
  string(REGEX REPLACE "[ \t]+" ";" values "${row}")
  foreach(column IN LISTS XCROSS_MACHINE_COLUMNS)
    list(POP_FRONT values value)
    if(value STREQUAL "-")
      set(value "")
    endif()
    set(${column} "${value}")
    set(${prefix}_${column} "${value}" PARENT_SCOPE)
  endforeach()
  xcross_cpu_of("${triplet}" cpu)
  set(${prefix}_cpu ${cpu} PARENT_SCOPE)
  set(${prefix}_sysroot /usr/${triplet} PARENT_SCOPE)
  set(${prefix}_multiarch /usr/lib/${triplet} PARENT_SCOPE)
  set(${prefix}_emulator ${qemu} -L /usr/${triplet} -E LD_LIBRARY_PATH=/usr/${triplet}/lib
      PARENT_SCOPE)
endfunction()

function(xcross_machine_rows output_variable)
  file(STRINGS ${XCROSS_MACHINE_TABLE} rows REGEX "^[a-z]")
  set(${output_variable} "${rows}" PARENT_SCOPE)
endfunction()

# Sets XCROSS_<FIELD> (upper case) for the machine whose column COLUMN is VALUE. A value that is in
# no row stops the configure, naming the rows it could have meant: those of the same CPU.
function(xcross_select_machine column value)
  xcross_machine_rows(rows)
  xcross_cpu_of("${value}" wanted_cpu)
  set(candidates "")
  foreach(row IN LISTS rows)
    xcross_parse_machine("${row}" machine)
    if(machine_${column} STREQUAL value)
      foreach(field IN LISTS XCROSS_MACHINE_FIELDS)
        string(TOUPPER ${field} name)
        set(XCROSS_${name} "${machine_${field}}" PARENT_SCOPE)
      endforeach()
      return()
    endif()
    if(machine_cpu STREQUAL wanted_cpu)
      string(APPEND candidates " ${machine_arch} (${machine_triplet})")
    endif()
  endforeach()
  if(NOT candidates)
    set(candidates " none")
  endif()
  message(FATAL_ERROR "${column} ${value} is no machine of cmake/architectures, so its hardening "
                      "is not known; rows of the same CPU:${candidates}. Build with a compiler "
                      "for one of them, or name it: -DXCROSS_ARCH=<arch>")
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  xcross_machine_rows(rows)
  foreach(row IN LISTS rows)
    xcross_parse_machine("${row}" machine)
    set(line "")
    foreach(field IN LISTS XCROSS_MACHINE_FIELDS)
      list(JOIN machine_${field} " " value)
      list(APPEND line "${field}=${value}")
    endforeach()
    list(JOIN line "\t" line)
    execute_process(COMMAND ${CMAKE_COMMAND} -E echo "${line}")
  endforeach()
endif()
