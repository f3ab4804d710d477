# No screen includes another screen's headers: the screens meet only in program/app.
#
# murtesk_check_screen_includes(<folder> ...)
#   A build-time check over the screen folders of program/ (each with its views and tests): an
#   include that names a header of another screen folder, by its file name alone ("frmMeasure.h")
#   or by a path through that folder ("mainscreen/frmMeasure.h"), fails the build. A name that the
#   including screen has a header of its own by counts as its own. Each folder's library
#   murtesk_<folder> is built after the check; it reruns when a file of a screen changes.
#
# Run as a script, the check itself:
#   cmake -DROOT=<program folder> -DSCREENS="<folder>;..." -P ScreenIncludes.cmake

function(murtesk_check_screen_includes)
  set(files)
  foreach(folder IN LISTS ARGN)
    file(GLOB_RECURSE screen_files CONFIGURE_DEPENDS
      ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.h ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp)
    list(APPEND files ${screen_files})
  endforeach()
  set(stamp ${CMAKE_BINARY_DIR}/checks/screen_includes.stamp)
  add_custom_command(
    OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DROOT=${CMAKE_CURRENT_SOURCE_DIR} "-DSCREENS=${ARGN}" -P ${CMAKE_CURRENT_FUNCTION_LIST_FILE}
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${files} ${CMAKE_CURRENT_FUNCTION_LIST_FILE}
    COMMENT "Checking that no screen includes another screen's headers"
    VERBATIM)
  add_custom_target(murtesk_screen_includes DEPENDS ${stamp})
  foreach(folder IN LISTS ARGN)
    add_dependencies(murtesk_${folder} murtesk_screen_includes)
  endforeach()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  cmake_minimum_required(VERSION 3.25)
  foreach(screen IN LISTS SCREENS)
    file(GLOB_RECURSE files_${screen} ${ROOT}/${screen}/*.h ${ROOT}/${screen}/*.cpp)
    set(headers_${screen})
    foreach(file IN LISTS files_${screen})
      if(file MATCHES "\\.h$")
        get_filename_component(name ${file} NAME)
        list(APPEND headers_${screen} ${name})
      endif()
    endforeach()
  endforeach()
  foreach(screen IN LISTS SCREENS)
    foreach(file IN LISTS files_${screen})
      file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"][^>\"]+[>\"]")
      foreach(line IN LISTS lines)
        string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]+)[>\"].*" "\\1" included "${line}")
        get_filename_component(name "${included}" NAME)
        foreach(other IN LISTS SCREENS)
          if(other STREQUAL screen)
            continue()
          endif()
          if(included MATCHES "(^|/)${other}/" OR (name IN_LIST headers_${other} AND NOT name IN_LIST headers_${screen}))
            message(SEND_ERROR "${file} includes \"${included}\" of the screen ${other}: reach it through program/app")
            set(failed TRUE)
          endif()
        endforeach()
      endforeach()
    endforeach()
  endforeach()
  if(failed)
    message(FATAL_ERROR "a screen includes another screen's headers")
  endif()
endif()
