# The version, the date and the maintainer of a release are written down once, in the newest entry
# of the changelog (Debian's format), and the manual page's header takes the version and the date
# from here. XCROSS_SOURCE_DATE_EPOCH stamps every file that the packages and archives hold:
# SOURCE_DATE_EPOCH where it is set, or else the release's date, so that the same source packs to
# the same bytes.
set(XCROSS_CHANGELOG ${CMAKE_CURRENT_LIST_DIR}/../changelog)
file(STRINGS ${XCROSS_CHANGELOG} entry_lines REGEX "^[a-z]|^ -- ")
list(GET entry_lines 0 heading)  # xcross (1.0.0) unstable; urgency=medium
list(GET entry_lines 1 trailer)  #  -- Maintainer <address>  Wed, 09 Dec 2026 12:00:00 +0000
string(REGEX MATCH "^xcross \\(([^)]*)\\) " _ "${heading}")
set(XCROSS_VERSION ${CMAKE_MATCH_1})
# Every package, archive and index carries the version whole, as written. xcross is its own upstream,
# so a version is Debian's upstream part alone: a digit, then digits, letters, ".", "+" and "~"
# (1.3.0, 1.3.0.1, 1.4.0~rc1), with no epoch and no Debian revision. CMake's own version, which has
# only numbers, is the leading numbers of it.
if(NOT XCROSS_VERSION MATCHES "^[0-9][0-9A-Za-z.+~]*$")
  message(FATAL_ERROR "${XCROSS_CHANGELOG}: the version '${XCROSS_VERSION}' of the newest entry "
                      "is not one a release can carry whole: write a digit, then digits, letters, "
                      "'.', '+' and '~' (1.3.0, 1.3.0.1, 1.4.0~rc1), with no epoch (':') and no "
                      "Debian revision ('-')")
endif()
string(REGEX MATCH "^[0-9]+(\\.[0-9]+)?(\\.[0-9]+)?(\\.[0-9]+)?" XCROSS_CMAKE_VERSION
             "${XCROSS_VERSION}")
string(REGEX MATCH "^ -- (.+>)  ([^ ].*)$" _ "${trailer}")
set(XCROSS_MAINTAINER "${CMAKE_MATCH_1}")
set(release_date "${CMAKE_MATCH_2}")
if(NOT XCROSS_VERSION OR NOT release_date)
  message(FATAL_ERROR "${XCROSS_CHANGELOG}: the newest entry has no version or no date")
endif()
execute_process(COMMAND date -u -d "${release_date}" +%s OUTPUT_VARIABLE XCROSS_RELEASE_EPOCH
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND date -u -d "@${XCROSS_RELEASE_EPOCH}" +%F OUTPUT_VARIABLE XCROSS_RELEASE_DAY
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(XCROSS_SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
else()
  set(XCROSS_SOURCE_DATE_EPOCH ${XCROSS_RELEASE_EPOCH})
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${XCROSS_CHANGELOG})
