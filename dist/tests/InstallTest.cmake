# Installs the build into a scratch prefix, then starts the installed program as a new user (a scratch
# HOME, no MURTESK_HOME, no display) and checks that it
#   - loads its three libraries from <prefix>/lib/murtesk,
#   - proposes its default project in ~/.local/share/murtesk and reads the correction files there,
#   - opens the manual shipped in <prefix>/share/murtesk,
#   - writes "Temp.tmp" into ~/.local/share/murtesk when it ends, and nothing beside the executable;
#   - leaves nothing in the temporary folder;
# and that the installed desktop entry is valid.
#   cmake -DBUILD=<build folder> -DPROBE=<install probe library> -DVALIDATE=<desktop-file-validate> -P InstallTest.cmake

cmake_minimum_required(VERSION 3.25)

string(RANDOM LENGTH 10 tag)
set(scratch "$ENV{TMPDIR}")
if(NOT scratch)
  set(scratch /tmp)
endif()
set(work "${scratch}/murtesk-install-test-${tag}")
set(prefix "${work}/prefix")
set(home "${work}/home")
set(userFolder "${home}/.local/share/murtesk")
set(report "${work}/report.txt")

macro(fail text)
  file(REMOVE_RECURSE "${work}")
  message(FATAL_ERROR "${text}")
endmacro()

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

if(NOT VALIDATE)
  fail("desktop-file-validate is missing (package desktop-file-utils; scripts/setup-deps installs it)")
endif()
execute_process(COMMAND "${VALIDATE}" "${prefix}/share/applications/murtesk.desktop"
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0 OR out MATCHES "error:")
  fail("desktop-file-validate refuses the desktop entry: ${out}")
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
# Started as the desktop entry starts it for a double-clicked project.
execute_process(COMMAND ${env} ${probe} "${prefix}/bin/murtesk" "${work}/project/p.qvd"
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
  if(line MATCHES "^library " AND NOT line MATCHES "^library ${prefix}/lib/murtesk/")
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
if(NOT IS_DIRECTORY "${home}/文書/Murtesk")
  fail("the folder of the proposed first project was not made")
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
