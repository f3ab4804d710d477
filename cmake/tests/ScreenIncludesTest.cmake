# cmake -DCHECK=<ScreenIncludes.cmake> -DWORK=<scratch folder> -P ScreenIncludesTest.cmake
# Two screens "one" and "two"; each case gives the includes of two/two.cpp and whether the check passes.
set(cases
  "PASS|#include \"two.h\"\n#include \"globals.h\"\n#include <vector>\n"
  "PASS|#include \"shared.h\"\n"
  "FAIL|#include \"one.h\"\n"
  "FAIL|#include \"one/one.h\"\n"
  "FAIL|#include \"../one/views/one_views.h\"\n"
  "FAIL|  #  include <one_views.h>\n")
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" parts "${case}")
  list(GET parts 0 expected)
  list(GET parts 1 includes)
  file(REMOVE_RECURSE ${WORK})
  file(WRITE ${WORK}/one/one.h "")
  file(WRITE ${WORK}/one/shared.h "")
  file(WRITE ${WORK}/one/views/one_views.h "")
  file(WRITE ${WORK}/two/two.h "")
  file(WRITE ${WORK}/two/shared.h "")
  file(WRITE ${WORK}/two/two.cpp "${includes}")
  execute_process(COMMAND ${CMAKE_COMMAND} -DROOT=${WORK} "-DSCREENS=one;two" -P ${CHECK}
    RESULT_VARIABLE result OUTPUT_QUIET ERROR_QUIET)
  if((expected STREQUAL "PASS" AND NOT result EQUAL 0) OR (expected STREQUAL "FAIL" AND result EQUAL 0))
    message(SEND_ERROR "expected ${expected} for: ${includes}")
    set(failed TRUE)
  endif()
endforeach()
file(REMOVE_RECURSE ${WORK})
if(failed)
  message(FATAL_ERROR "the screen include check judged a case wrongly")
endif()
