# cmake -DCHECK=<CommitSubjects.cmake> -DWORK=<scratch folder> -P CommitSubjectsTest.cmake
# The word check of CommitSubjects.cmake on a made-up checkout that holds the check and this file (which
# must pass) and one more file; each case gives that file's path, its text and whether the check passes.
# The words are put together from pieces, so that this file does not hold them.
set(P "P")
set(s "spec")
set(piece "piece")
set(cases
  "PASS|notes.txt|the part of a band, the parts 2 and 3, MPEG-4 Visual, a specific inspection\n"
  "PASS|src/partition.cpp|${s}trum\n"
  "FAIL|a.cpp|// as in the ${P}art's list\n"
  "FAIL|a.cpp|// The ${P}arts below\n"
  "FAIL|a.cpp|// see ${P}art 4.103\n"
  "FAIL|a.cpp|// ${P}arts 3 and 4\n"
  "FAIL|a.cpp|// the ${s} of the window\n"
  "FAIL|a.cpp|// as the ${s}ification has it\n"
  "FAIL|a.cpp|// ${s} says so\n"
  "FAIL|a.cpp|// per ${s}\n"
  "FAIL|a.cpp|// ${piece}-02.md\n"
  "FAIL|a.cpp|// shared/${s}/overview.md\n"
  "FAIL|${s}/notes.txt|text\n"
  "FAIL|docs/${s}.md|text\n"
  "FAIL|tests/part_3.txt|text\n"
  "FAIL|Part-12.md|text\n")
find_program(GIT git REQUIRED)
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" fields "${case}")
  list(GET fields 0 expected)
  list(GET fields 1 written)
  list(GET fields 2 text)
  file(REMOVE_RECURSE ${WORK})
  file(COPY ${CHECK} ${CMAKE_CURRENT_LIST_FILE} DESTINATION ${WORK}/cmake)
  file(WRITE ${WORK}/${written} "${text}")
  execute_process(COMMAND ${GIT} -c init.defaultBranch=main init -q ${WORK})
  execute_process(COMMAND ${GIT} -C ${WORK} add -A)
  execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE=${WORK} -P ${WORK}/cmake/CommitSubjects.cmake
    RESULT_VARIABLE result OUTPUT_QUIET ERROR_QUIET)
  if((expected STREQUAL "PASS" AND NOT result EQUAL 0) OR (expected STREQUAL "FAIL" AND result EQUAL 0))
    message(SEND_ERROR "expected ${expected} for ${written}: ${text}")
    set(failed TRUE)
  endif()
endforeach()
file(REMOVE_RECURSE ${WORK})
if(failed)
  message(FATAL_ERROR "the word check judged a case wrongly")
endif()
