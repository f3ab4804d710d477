# cmake -DSOURCE=<source tree> -P CommitSubjects.cmake
# Fails when a tracked file holds one of the words the project keeps out of its code, comments, tests and
# file names (WORDS and CAPITALS in its text, NAMES in its path), or when a commit since SINCE has a subject
# over 72 characters. Outside a git checkout there is nothing to check; in one that lacks SINCE (a shallow
# one) the subjects are not checked. Either says "not checked", which ctest counts as skipped.
set(SINCE fe3c2955e743545f6e0800c38cba187a40947900)
set(LIMIT 72)
# The brackets keep this file from matching its own words.
set(WORDS "\\b[Pp]art [0-9]+\\.[0-9]+|\\bpie[c]e-0[0-9]|\\bspe[c]ification\\b|\\bthe spe[c]\\b|\\bper spe[c]\\b|\
\\bspe[c] says\\b|shared/spe[c]")
set(CAPITALS "\\b[Tt]he Par[t]s?('s)?\\b|\\bPar[t]s? [0-9]")  # case-sensitive: "the part of" is ordinary
set(NAMES "(^|[/_.-])spe[c]([/_.-]|$)|par[t][-_ ]?[0-9]")     # on the lower-case path
find_program(GIT git)
if(NOT GIT)
  message("no git: commit subjects not checked")
  return()
endif()
execute_process(COMMAND ${GIT} -C ${SOURCE} rev-parse --is-inside-work-tree RESULT_VARIABLE inside
                OUTPUT_QUIET ERROR_QUIET)
if(NOT inside EQUAL 0)
  message("not a git checkout: words and commit subjects not checked")
  return()
endif()

set(found "")
foreach(check "-iE;${WORDS}" "-E;${CAPITALS}")
  list(GET check 0 flags)
  list(GET check 1 pattern)
  execute_process(COMMAND ${GIT} -C ${SOURCE} grep -nI ${flags} "${pattern}"
                  OUTPUT_VARIABLE hits RESULT_VARIABLE status)
  if(status GREATER 1)
    message(FATAL_ERROR "git grep failed")
  endif()
  string(APPEND found "${hits}")
endforeach()
execute_process(COMMAND ${GIT} -C ${SOURCE} ls-files OUTPUT_VARIABLE files RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "git ls-files failed")
endif()
string(REPLACE "\n" ";" files "${files}")
foreach(file IN LISTS files)
  string(TOLOWER "${file}" lower)
  if(lower MATCHES "${NAMES}")
    string(APPEND found "${file} (its name)\n")
  endif()
endforeach()
if(found)
  message(FATAL_ERROR "tracked files speak of the documents the program was built from, not of the program "
                      "itself; reword them:\n${found}")
endif()

execute_process(COMMAND ${GIT} -C ${SOURCE} cat-file -e ${SINCE}^{commit} RESULT_VARIABLE known
                OUTPUT_QUIET ERROR_QUIET)
if(NOT known EQUAL 0)
  message("not a checkout holding ${SINCE}: commit subjects not checked")
  return()
endif()
execute_process(COMMAND ${GIT} -C ${SOURCE} log --format=%h%x09%s ${SINCE}..HEAD
                OUTPUT_VARIABLE log RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "git log failed")
endif()
string(REPLACE "\n" ";" lines "${log}")
set(long "")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^[^\t]*\t" "" subject "${line}")
  string(LENGTH "${subject}" length)
  if(length GREATER LIMIT)
    string(APPEND long "\n  ${line} (${length})")
  endif()
endforeach()
if(long)
  message(FATAL_ERROR "commit subjects over ${LIMIT} characters:${long}")
endif()
