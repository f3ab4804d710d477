# cmake -DCHECK=<ScreenIncludes.cmake> -DWORK=<scratch folder> -P ScreenIncludesTest.cmake
# Two screens "one" and "two" and a folder "low" below them; each case gives the file it writes, its
# includes and whether the check passes.
set(cases
  "PASS|two/two.cpp|#include \"two.h\"\n#include \"globals.h\"\n#include <vector>\n"
  "PASS|two/two.cpp|#include \"shared.h\"\n"
  "FAIL|two/two.cpp|#include \"one.h\"\n"
  "FAIL|two/two.cpp|#include \"one/one.h\"\n"
  "FAIL|two/two.cpp|#include \"../one/views/one_views.h\"\n"
  "FAIL|two/two.cpp|  #  include <one_views.h>\n"
  "PASS|two/two.cpp|#include \"low.h\"\n#include \"low/low.h\"\n"
  "PASS|low/low.cpp|#include \"low.h\"\n#include \"shared.h\"\n"
  "FAIL|low/low.cpp|#include \"one.h\"\n"
  "FAIL|low/views/low_view.cpp|#include \"two/two.h\"\n")
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" parts "${case}")
  list(GET parts 0 expected)
  list(GET parts 1 written)
  list(GET parts 2 includes)
  file(REMOVE_RECURSE ${WORK})
  file(WRITE ${WORK}/one/one.h "")
  file(WRITE ${WORK}/one/shared.h "")
  file(WRITE ${WORK}/one/views/one_views.h "")
  file(WRITE ${WORK}/two/two.h "")
  file(WRITE ${WORK}/two/shared.h "")
  file(WRITE ${WORK}/low/low.h "")
  file(WRITE ${WORK}/low/shared.h "")
  file(WRITE ${WORK}/${written} "${includes}")
  execute_process(COMMAND ${CMAKE_COMMAND} -DROOT=${WORK} "-DSCREENS=one;two" "-DBELOW=low" -P ${CHECK}
    RESULT_VARIABLE result OUTPUT_QUIET ERROR_QUIET)
  if((expected STREQUAL "PASS" AND NOT result EQUAL 0) OR (expected STREQUAL "FAIL" AND result EQUAL 0))
    message(SEND_ERROR "expected ${expected} for ${written}: ${includes}")
    set(failed TRUE)
  endif()
endforeach()
file(REMOVE_RECURSE ${WORK})
if(failed)
  message(FATAL_ERROR "the screen include check judged a case wrongly")
endif()
