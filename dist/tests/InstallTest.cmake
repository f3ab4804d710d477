# Installs the build into a scratch prefix, then starts the installed program as a new user (a scratch
# HOME, no MURTESK_HOME, no display) and checks that it
#   - shows the version VERSION in its first-run window and carries its icon,
#   - loads its three libraries from <prefix>/lib/murtesk,
#   - proposes its default project in "Murtesk" of the documents folder that ~/.config/user-dirs.dirs
#     names, and reads the correction files in ~/.local/share/murtesk,
#   - opens the manual shipped in <prefix>/share/murtesk,
#   - writes "Temp.tmp" into ~/.local/share/murtesk when it ends, and nothing beside the executable;
#   - started on a project file, as the desktop entry starts it, opens that project;
#   - leaves nothing in the temporary folder;
# that the installed desktop entry is valid, says VERSION and claims the project file's type (which the
# installed MIME type gives "*.qvd") and no other, and that the README says VERSION.
#   cmake -DBUILD=<build folder> -DSOURCE=<source folder> -DVERSION=<version> -DPROBE=<install probe library>
#         -DVALIDATE=<desktop-file-validate> -DMIMEDB=<update-mime-database> -DDESKTOPDB=<update-desktop-database>
#         -P InstallTest.cmake

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
file(STRINGS "${prefix}/share/applications/mimeinfo.cache" handled REGEX "murtesk")
list(LENGTH handled handledTypes)
if(NOT globs MATCHES ":application/x-murtesk-project:\\*\\.qvd$" OR NOT handledTypes EQUAL 1
   OR NOT handled MATCHES "^application/x-murtesk-project=murtesk\\.desktop")
  fail("the project file's type is not what the install gives \"*.qvd\" and opens with Murtesk: ${globs} ${handled}")
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
