# Installs the build into a scratch prefix whose name holds characters that a desktop entry must quote, then
# starts the installed program as a new user (a scratch HOME, no MURTESK_HOME, no display, the prefix's bin
# not on the PATH) and checks that it
#   - shows the version VERSION in its first-run window and carries its icon,
#   - loads its three libraries from <prefix>/lib/murtesk,
#   - proposes its default project in "Murtesk" of the documents folder that ~/.config/user-dirs.dirs
#     names, and reads the correction files in ~/.local/share/murtesk,
#   - opens the manual shipped in <prefix>/share/murtesk,
#   - writes "Temp.tmp" into ~/.local/share/murtesk when it ends, and nothing beside the executable;
#   - started on a project file by the command line of the desktop entry's Exec, as a desktop reads it,
#     opens that project;
#   - leaves nothing in the temporary folder;
# that the installed desktop entry is valid, says VERSION and claims the project file's type (which the
# installed MIME type gives "*.qvd" and the program's icon) and no other, that the installed manual page, as
# groff shows it, names the installed manual, and that the README says VERSION.
#   cmake -DBUILD=<build folder> -DSOURCE=<source folder> -DVERSION=<version> -DPROBE=<install probe library>
#         -DVALIDATE=<desktop-file-validate> -DMIMEDB=<update-mime-database> -DDESKTOPDB=<update-desktop-database>
#         -DGROFF=<groff> -P InstallTest.cmake

cmake_minimum_required(VERSION 3.25)

string(RANDOM LENGTH 10 tag)
set(scratch "$ENV{TMPDIR}")
if(NOT scratch)
  set(scratch /tmp)
endif()
set(work "${scratch}/murtesk-install-test-${tag}")
set(prefix "${work}/my \"apps\" $HOME it's")
set(home "${work}/home")
set(userFolder "${home}/.local/share/murtesk")
set(report "${work}/report.txt")

macro(fail text)
  file(REMOVE_RECURSE "${work}")
  message(FATAL_ERROR "${text}")
endmacro()

# The command line a desktop runs for an entry's Exec value, with `file` for %f, read by freedesktop.org's
# rules for desktop entries: first the escapes of a string value (\s \n \t \r \\), then arguments split at
# spaces outside double quotes, where \ takes the next character as it is; %% is %.
function(exec_command_line exec file out)
  string(ASCII 1 backslash)
  string(REPLACE "\\\\" "${backslash}" exec "${exec}")
  foreach(pair "s; " "t;\t" "n;\n" "r;\r")
    list(GET pair 0 code)
    list(GET pair 1 char)
    string(REPLACE "\\${code}" "${char}" exec "${exec}")
  endforeach()
  string(REPLACE "${backslash}" "\\" exec "${exec}")
  set(args)
  set(arg "")
  set(started OFF)
  set(quoted OFF)
  set(escaped OFF)
  string(LENGTH "${exec} " length)
  math(EXPR last "${length} - 1")
  foreach(i RANGE 0 ${last})
    string(SUBSTRING "${exec} " ${i} 1 c)
    if(escaped)
      string(APPEND arg "${c}")
      set(escaped OFF)
    elseif(quoted AND c STREQUAL "\\")
      set(escaped ON)
    elseif(c STREQUAL "\"")
      if(quoted)
        set(quoted OFF)
      else()
        set(quoted ON)
      endif()
      set(started ON)
    elseif(c STREQUAL " " AND NOT quoted)
      if(started)
        if(arg STREQUAL "%f")
          set(arg "${file}")
        else()
          string(REPLACE "%%" "%" arg "${arg}")
        endif()
        list(APPEND args "${arg}")
      endif()
      set(arg "")
      set(started OFF)
    else()
      string(APPEND arg "${c}")
      set(started ON)
    endif()
  endforeach()
  set(${out} "${args}" PARENT_SCOPE)
endfunction()

file(MAKE_DIRECTORY "${work}" "${home}" "${work}/project" "${work}/fakebin" "${userFolder}" "${work}/tmp"
  "${work}/runtime" "${home}/文書")
# The documents folder as xdg-user-dirs names it in a Japanese session.
file(WRITE "${home}/.config/user-dirs.dirs" "XDG_DESKTOP_DIR=\"$HOME/デスクトップ\"\nXDG_DOCUMENTS_DIR=\"$HOME/文書\"\n")
# The session's runtime folder, as a desktop gives one (without it Qt makes one in the temporary folder).
file(CHMOD "${work}/runtime" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)

execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD}" --prefix "${prefix}"
  RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  fail("cmake --install failed: ${err}")
endif()

if(NOT GROFF)
  fail("groff is missing (package groff-base; scripts/setup-deps installs it)")
endif()
if(NOT VALIDATE OR NOT DESKTOPDB)
  fail("desktop-file-validate or update-desktop-database is missing (package desktop-file-utils; scripts/setup-deps installs it)")
endif()
if(NOT MIMEDB)
  fail("update-mime-database is missing (package shared-mime-info; scripts/setup-deps installs it)")
endif()
set(entry "${prefix}/share/applications/murtesk.desktop")
execute_process(COMMAND "${VALIDATE}" "${entry}" RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0 OR out MATCHES "error:|hint:")
  fail("desktop-file-validate refuses the desktop entry: ${out}")
endif()
file(READ "${entry}" entryText)
string(REPLACE "." "\\." versionPattern "${VERSION}")
if(NOT entryText MATCHES "\nMimeType=application/x-murtesk-project;\n"
   OR NOT entryText MATCHES "\nX-Murtesk-Version=${versionPattern}\n")
  fail("the desktop entry claims other types than the project's or not version ${VERSION}:\n${entryText}")
endif()
# The databases a desktop builds from the installed files (Debian's triggers run the same programs).
execute_process(COMMAND "${MIMEDB}" "${prefix}/share/mime" RESULT_VARIABLE rc ERROR_VARIABLE err)
execute_process(COMMAND "${DESKTOPDB}" "${prefix}/share/applications" RESULT_VARIABLE rc2 ERROR_VARIABLE err2)
if(NOT rc EQUAL 0 OR NOT rc2 EQUAL 0)
  fail("the MIME or desktop database of the install could not be built: ${err} ${err2}")
endif()
file(STRINGS "${prefix}/share/mime/globs2" globs REGEX "murtesk")
file(STRINGS "${prefix}/share/mime/icons" typeIcons REGEX "murtesk")
file(STRINGS "${prefix}/share/applications/mimeinfo.cache" handled REGEX "murtesk")
list(LENGTH handled handledTypes)
if(NOT globs MATCHES ":application/x-murtesk-project:\\*\\.qvd$" OR NOT handledTypes EQUAL 1
   OR NOT handled MATCHES "^application/x-murtesk-project=murtesk\\.desktop")
  fail("the project file's type is not what the install gives \"*.qvd\" and opens with Murtesk: ${globs} ${handled}")
endif()
if(NOT typeIcons STREQUAL "application/x-murtesk-project:murtesk"
   OR NOT entryText MATCHES "\nIcon=murtesk\n" OR NOT EXISTS "${prefix}/share/icons/hicolor/scalable/apps/murtesk.svg")
  fail("project files do not get the program's icon, installed as murtesk in the hicolor theme: ${typeIcons}")
endif()
# As man shows the page, on one line.
execute_process(COMMAND gzip -dc "${prefix}/share/man/man1/murtesk.1.gz"
                COMMAND "${GROFF}" -man -Tutf8 -P-cbou -rLL=4000n -rHY=0
                RESULT_VARIABLE rc OUTPUT_VARIABLE page ERROR_VARIABLE err)
string(FIND "${page}" " Help menu, is ${prefix}/share/murtesk/ReadMe.txt." named)
if(NOT rc EQUAL 0 OR named EQUAL -1)
  fail("the manual page does not name the installed manual ${prefix}/share/murtesk/ReadMe.txt: ${err}${page}")
endif()
file(STRINGS "${SOURCE}/README.md" readme REGEX "Murtesk ${VERSION}")
if(NOT readme)
  fail("the README does not say the version, \"Murtesk ${VERSION}\"")
endif()
foreach(shipped share/man/man1/murtesk.1.gz share/man/man1/murtesk-samples.1.gz
                share/man/man1/murtesk-video-window.1.gz share/doc/murtesk/changelog.Debian.gz)
  if(NOT EXISTS "${prefix}/${shipped}")
    fail("the install lacks ${shipped}")
  endif()
endforeach()
file(READ "${SOURCE}/COPYRIGHT" copyright)
file(READ "${prefix}/share/doc/murtesk/copyright" installedCopyright)
if(NOT copyright STREQUAL installedCopyright)
  fail("the installed copyright file is not the repository's COPYRIGHT")
endif()

# The desktop's opener, replaced by one that writes down what it was asked to open.
file(WRITE "${work}/fakebin/xdg-open" "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '${work}/opened.txt'\n")
file(CHMOD "${work}/fakebin/xdg-open" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)

# Correction file 1 is good; file 2 has a bad first line, so its message names the folder it was read from.
string(REPEAT "0.0," 45 corrections)
string(REPEAT "170," 45 maxima)
file(WRITE "${userFolder}/オリジナル特性1.csv" "Probe weighting,PW\r\nHz\r\n${corrections}\r\n${maxima}\r\n")
file(WRITE "${userFolder}/オリジナル特性2.csv" "one field only\r\nHz\r\n${corrections}\r\n")

set(env ${CMAKE_COMMAND} -E env --unset=MURTESK_HOME --unset=XDG_DATA_HOME --unset=XDG_CONFIG_HOME
  --unset=DISPLAY --unset=WAYLAND_DISPLAY
  "HOME=${home}" "PATH=${work}/fakebin:$ENV{PATH}" "TMPDIR=${work}/tmp" "XDG_RUNTIME_DIR=${work}/runtime"
  QT_QPA_PLATFORM=offscreen MURTESK_AUDIO=null)

foreach(sample "calibration;${work}/cal.wav;--rate;8000;--bits;16;--seconds;2;--amplitude;0.5"
               "video;${work}/road.avi;--seconds;1;--size;160x120;--fps;10")
  execute_process(COMMAND ${env} "${prefix}/bin/murtesk-samples" ${sample}
    RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE err TIMEOUT 30)
  if(NOT rc EQUAL 0)
    fail("the installed murtesk-samples failed on ${sample}: ${err}")
  endif()
endforeach()

# A sanitizer build's runtime must stay the first library of the process, before the probe.
execute_process(COMMAND ldd "${prefix}/bin/murtesk" OUTPUT_VARIABLE linked)
set(preload "${PROBE}")
if(linked MATCHES "libasan\\.so[.0-9]* => ([^ ]+)")
  set(preload "${CMAKE_MATCH_1}:${PROBE}")
endif()
set(probe "LD_PRELOAD=${preload}" "MURTESK_PROBE_REPORT=${report}" "MURTESK_PROBE_PROJECT=${work}/project/p.qvd"
  "MURTESK_PROBE_WAV=${work}/cal.wav")
execute_process(COMMAND ${env} ${probe} "${prefix}/bin/murtesk"
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 40)
if(NOT rc EQUAL 0)
  fail("the installed program ended with ${rc}: ${out} ${err}")
endif()
# Started as a desktop starts the entry for a double-clicked project, in a session whose PATH was set before the
# install.
if(NOT entryText MATCHES "\nExec=([^\n]*)\n")
  fail("the desktop entry has no Exec key:\n${entryText}")
endif()
exec_command_line("${CMAKE_MATCH_1}" "${work}/project/p.qvd" command)
execute_process(COMMAND ${env} ${probe} ${command}
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 40)
if(NOT rc EQUAL 0)
  fail("the installed program started on a project ended with ${rc}: ${out} ${err}")
endif()
execute_process(COMMAND ${env} ${probe} "${prefix}/bin/murtesk-video-window" "${work}/road.avi"
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 30)
if(NOT rc EQUAL 0)
  fail("the installed video window ended with ${rc}: ${out} ${err}")
endif()

file(STRINGS "${report}" seen ENCODING UTF-8)
set(expected
  "icon 64x64"
  "caption Murtesk Ver${VERSION}"
  "proposed ${home}/文書/Murtesk/DefaultQVD.qvd"
  "folder there"
  "opened Murtesk メイン画面 ${work}/project/p.qvd"
  "weighting Probe weighting"
  "message ${userFolder}/オリジナル特性2.csv1行目フィールドエラー"
  "library ${prefix}/lib/murtesk/libSarnik.so"
  "library ${prefix}/lib/murtesk/libMurtesk.so"
  "library ${prefix}/lib/murtesk/libKinemo.so")
foreach(line IN LISTS expected)
  if(NOT line IN_LIST seen)
    list(JOIN seen "\n  " all)
    fail("the probe did not see \"${line}\"; it saw:\n  ${all}")
  endif()
endforeach()
foreach(line IN LISTS seen)
  string(FIND "${line}" "library ${prefix}/lib/murtesk/" inside)
  if(line MATCHES "^library " AND NOT inside EQUAL 0)
    fail("a library was loaded from outside the install: ${line}")
  endif()
endforeach()

file(STRINGS "${work}/opened.txt" opened)
if(NOT opened STREQUAL "${prefix}/share/murtesk/ReadMe.txt")
  fail("the help command opened \"${opened}\" instead of the installed manual")
endif()
if(NOT EXISTS "${userFolder}/Temp.tmp" OR NOT EXISTS "${work}/project/p.qvd")
  fail("no Temp.tmp in ${userFolder} or no project file after the program ended")
endif()
# The probe creates its project elsewhere: the folder made for the proposal does not stay empty behind.
if(EXISTS "${home}/文書/Murtesk")
  fail("the folder made for the proposed first project stayed although the project went elsewhere")
endif()
file(GLOB beside "${prefix}/bin/*.tmp" "${prefix}/bin/*.qvd")
if(beside)
  fail("the installed program wrote beside its executable: ${beside}")
endif()
file(GLOB left "${work}/tmp/*" "${work}/tmp/.*")
if(left)
  fail("the installed programs left in the temporary folder: ${left}")
endif()

file(REMOVE_RECURSE "${work}")
