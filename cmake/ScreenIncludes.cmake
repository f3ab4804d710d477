# No screen includes another screen's headers: the screens meet only in the folders below them
# (program/app and the others named BELOW), which include no screen's headers at all.
#
# murtesk_check_screen_includes(SCREENS <folder> ... [BELOW <folder> ...])
#   A build-time check over the screen folders of program/ (each with its views and tests): an
#   include that names a header of another screen folder, by its file name alone ("frmMeasure.h")
#   or by a path through that folder ("mainscreen/frmMeasure.h"), fails the build. A name that the
#   including folder has a header of its own by counts as its own. The folders below the screens
#   (dialogs, bindings...) are checked the same way against every screen, while any screen may
#   include them. Each folder's library murtesk_<folder> is built after the check; it reruns when
#   a file of a checked folder changes.
#
# Run as a script, the check itself:
#   cmake -DROOT=<program folder> -DSCREENS="<folder>;..." [-DBELOW="<folder>;..."] -P ScreenIncludes.cmake

function(murtesk_check_screen_includes)
  cmake_parse_arguments(PARSE_ARGV 0 ARG "" "" "SCREENS;BELOW")
  set(files)
  foreach(folder IN LISTS ARG_SCREENS ARG_BELOW)
    file(GLOB_RECURSE folder_files CONFIGURE_DEPENDS
      ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.h ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp)
    list(APPEND files ${folder_files})
  endforeach()
  set(stamp ${CMAKE_BINARY_DIR}/checks/screen_includes.stamp)
  add_custom_command(
    OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DROOT=${CMAKE_CURRENT_SOURCE_DIR} "-DSCREENS=${ARG_SCREENS}" "-DBELOW=${ARG_BELOW}"
      -P ${CMAKE_CURRENT_FUNCTION_LIST_FILE}
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${files} ${CMAKE_CURRENT_FUNCTION_LIST_FILE}
    COMMENT "Checking that no screen includes another screen's headers"
    VERBATIM)
  add_custom_target(murtesk_screen_includes DEPENDS ${stamp})
  foreach(folder IN LISTS ARG_SCREENS ARG_BELOW)
    add_dependencies(murtesk_${folder} murtesk_screen_includes)
  endforeach()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  cmake_minimum_required(VERSION 3.25)
  foreach(folder IN LISTS SCREENS BELOW)
    file(GLOB_RECURSE files_${folder} ${ROOT}/${folder}/*.h ${ROOT}/${folder}/*.cpp)
    set(headers_${folder})
    foreach(file IN LISTS files_${folder})
      if(file MATCHES "\\.h$")
        get_filename_component(name ${file} NAME)
        list(APPEND headers_${folder} ${name})
      endif()
    endforeach()
  endforeach()
  foreach(folder IN LISTS SCREENS BELOW)
    foreach(file IN LISTS files_${folder})
      file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"][^>\"]+[>\"]")
      foreach(line IN LISTS lines)
        string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]+)[>\"].*" "\\1" included "${line}")
        get_filename_component(name "${included}" NAME)
        foreach(screen IN LISTS SCREENS)
          if(screen STREQUAL folder)
            continue()
          endif()
          if(included MATCHES "(^|/)${screen}/" OR (name IN_LIST headers_${screen} AND NOT name IN_LIST headers_${folder}))
            if(folder IN_LIST SCREENS)
              message(SEND_ERROR "${file} includes \"${included}\" of the screen ${screen}: reach it through program/app")
            else()
              message(SEND_ERROR "${file} includes \"${included}\" of the screen ${screen}, above ${folder}")
            endif()
            set(failed TRUE)
          endif()
        endforeach()
      endforeach()
    endforeach()
  endforeach()
  if(failed)
    message(FATAL_ERROR "a screen or a folder below the screens includes a screen's headers")
  endif()
endif()
