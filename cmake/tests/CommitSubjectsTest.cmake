# cmake -DCHECK=<CommitSubjects.cmake> -DWORK=<scratch folder> -P CommitSubjectsTest.cmake
# The subject check of CommitSubjects.cmake on made-up checkouts. Each history is a first commit, the one
# the check counts from, and then commits with the subjects given; the check passes or fails on it.
find_program(GIT git REQUIRED)
set(git ${GIT} -C ${WORK} -c user.name=Test -c user.email=test@example.invalid -c commit.gpgsign=false
        -c core.hooksPath=/dev/null)

macro(must_succeed status what)
  if(NOT ${status} EQUAL 0)
    message(FATAL_ERROR "${what} failed in ${WORK}")
  endif()
endmacro()

# history(PASS|FAIL subject...): the subjects as single arguments, so that no list splits them.
function(history expected)
  file(REMOVE_RECURSE ${WORK})
  execute_process(COMMAND ${GIT} -c init.defaultBranch=main init -q ${WORK} RESULT_VARIABLE status)
  must_succeed(status "git init")
  file(WRITE ${WORK}/notes.txt "0\n")
  execute_process(COMMAND ${git} add -A RESULT_VARIABLE status)
  must_succeed(status "git add")
  execute_process(COMMAND ${git} commit -q -m
                  "A first commit whose subject is well over the limit; it comes before the one counted from"
                  RESULT_VARIABLE status)
  must_succeed(status "git commit")
  execute_process(COMMAND ${git} rev-parse HEAD OUTPUT_VARIABLE since OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE status)
  must_succeed(status "git rev-parse")
  set(subjects "")
  math(EXPR last "${ARGC} - 1")
  foreach(i RANGE 1 ${last})
    file(APPEND ${WORK}/notes.txt "${i}\n")
    execute_process(COMMAND ${git} commit -q -a -m "${ARGV${i}}" RESULT_VARIABLE status)
    must_succeed(status "git commit")
    string(APPEND subjects "\n  ${ARGV${i}}")
  endforeach()
  execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE=${WORK} -DSINCE=${since} -P ${CHECK}
                  RESULT_VARIABLE result OUTPUT_VARIABLE said ERROR_VARIABLE said)
  if(said MATCHES "not checked")
    message(SEND_ERROR "the check did not look at the subjects:${subjects}\n${said}")
    set(failed TRUE PARENT_SCOPE)
  elseif((expected STREQUAL "PASS" AND NOT result EQUAL 0) OR (expected STREQUAL "FAIL" AND result EQUAL 0))
    message(SEND_ERROR "expected ${expected} for the subjects:${subjects}\n${said}")
    set(failed TRUE PARENT_SCOPE)
  endif()
endfunction()

string(REPEAT "x" 61 x61)
set(s72 "Subject of ${x61}")  # 72 characters
history(PASS "${s72}")
history(FAIL "${s72}y")
history(PASS "short" "${s72}" "another short one")
history(FAIL "short" "${s72}y" "another short one")
history(FAIL "${x61}x; and ten m")  # 73 characters, a semicolon among them
history(PASS "Levels [dB] of a band; its range [1 100] as it reads in a list here, too")  # 72
history(FAIL "a closing ] one" "${s72}y" "An unbalanced [ bracket" "short")  # git log shows the newest first
file(REMOVE_RECURSE ${WORK})
if(failed)
  message(FATAL_ERROR "the subject check judged a history wrongly")
endif()
