# Run by the install (cmake --install, and cpack, which installs to /usr under DESTDIR): writes the files that
# name where the install puts the others, for the prefix this install goes to, and installs them:
#   share/applications/murtesk.desktop   Exec runs P/bin/murtesk by its full path, so that a desktop lists the
#                                        entry and opens a project with it whatever the session's PATH holds
#   share/man/man1/*.1.gz                murtesk(1) names P/share/murtesk/ReadMe.txt
# The prefix is CMAKE_INSTALL_PREFIX as the install sees it (--prefix), not the one configured.
# Set by the install rule: MURTESK_DIST (dist/ of the sources), MURTESK_STAGE (a folder of the build tree,
# which every install writes into anyway: its install_manifest.txt), PROJECT_VERSION.

# A relative prefix is taken from the working folder, as the install rules take it; the path is not
# normalised (a ".." after a link leads where the kernel takes it); no trailing "/" (so "/" becomes "").
cmake_path(ABSOLUTE_PATH CMAKE_INSTALL_PREFIX OUTPUT_VARIABLE prefix)
string(REGEX REPLACE "/+$" "" prefix "${prefix}")

# A desktop entry's value cannot hold a control character, nor a manual page's line.
string(ASCII 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24 25 26 27 28 29 30 31 127 controls)
if(prefix MATCHES "[${controls}]")
  message(FATAL_ERROR "The install prefix holds a control character, which the desktop entry and the manual "
                      "page cannot name: ${CMAKE_INSTALL_PREFIX}")
endif()

# The program as the one argument of Exec: quoted when it holds a character that the key reserves, with ", `, $
# and \ escaped inside the quotes; then % doubled (else it starts a field code) and every \ doubled (the escape
# of every string value of a desktop entry).
set(MURTESK_EXEC "${prefix}/bin/murtesk")
if(MURTESK_EXEC MATCHES "[ \t\"'\\\\><~|&;$*?#()`]")
  string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" MURTESK_EXEC "${MURTESK_EXEC}")
  set(MURTESK_EXEC "\"${MURTESK_EXEC}\"")
endif()
string(REPLACE "%" "%%" MURTESK_EXEC "${MURTESK_EXEC}")
# GLib (and so GNOME) looks for the program before it reads the field codes: it looks for "%%" and hides the entry.
if(prefix MATCHES "%")
  message(WARNING "The install prefix holds \"%\": desktops built on GLib do not find the program that the "
                  "desktop entry names, and list no entry. A prefix without \"%\" avoids it.")
endif()
string(REPLACE "\\" "\\\\" MURTESK_EXEC "${MURTESK_EXEC}")

# The manual's path inside a quoted macro argument of a manual page: \ printed as itself, - as a hyphen-minus
# one can copy, " as a double quote.
set(MURTESK_MANUAL "${prefix}/share/murtesk/ReadMe.txt")
string(REPLACE "\\" "\\e" MURTESK_MANUAL "${MURTESK_MANUAL}")
string(REPLACE "-" "\\-" MURTESK_MANUAL "${MURTESK_MANUAL}")
string(REPLACE "\"" "\\(dq" MURTESK_MANUAL "${MURTESK_MANUAL}")

string(RANDOM LENGTH 12 tag)
set(stage "${MURTESK_STAGE}/install-${tag}")
file(REMOVE_RECURSE "${stage}")
configure_file("${MURTESK_DIST}/murtesk.desktop.in" "${stage}/murtesk.desktop" @ONLY)
set(pages murtesk.1 murtesk-samples.1 murtesk-video-window.1)
set(compressed)
foreach(page IN LISTS pages)
  configure_file("${MURTESK_DIST}/man/${page}" "${stage}/${page}" @ONLY)
  # As Debian keeps them: no name, no time stamp.
  execute_process(COMMAND gzip -n -9 -f "${stage}/${page}" RESULT_VARIABLE status ERROR_VARIABLE error)
  if(NOT status EQUAL 0 OR NOT EXISTS "${stage}/${page}.gz")
    file(REMOVE_RECURSE "${stage}")
    message(FATAL_ERROR "gzip failed on the manual page ${page}: ${error}")
  endif()
  list(APPEND compressed "${stage}/${page}.gz")
endforeach()

file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/share/applications" TYPE FILE FILES "${stage}/murtesk.desktop")
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/share/man/man1" TYPE FILE FILES ${compressed})
file(REMOVE_RECURSE "${stage}")
