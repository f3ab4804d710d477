# Build helpers shared by every area: sanitizer flags, tests, fuzz targets and checks of what a target includes.

function(murtesk_apply_sanitizers)
  if(MURTESK_FUZZ)
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -g)
    add_link_options(-fsanitize=address,undefined)
  elseif(MURTESK_SANITIZE)
    list(JOIN MURTESK_SANITIZE "," san)
    add_compile_options(-fsanitize=${san} -fno-omit-frame-pointer -fno-sanitize-recover=all -g)
    add_link_options(-fsanitize=${san})
  endif()
endfunction()

# External test data, read in place by the tests (see its README). A worktree outside the main
# checkout's folder passes -DMURTESK_TESTDATA_DIR=... when configuring.
cmake_path(SET murtesk_default_testdata NORMALIZE "${PROJECT_SOURCE_DIR}/../shared/testdata")
set(MURTESK_TESTDATA_DIR "${murtesk_default_testdata}" CACHE PATH "Folder of the shared test data")
if(MURTESK_TESTS AND NOT IS_DIRECTORY "${MURTESK_TESTDATA_DIR}")
  message(FATAL_ERROR "The test data folder ${MURTESK_TESTDATA_DIR} does not exist: "
    "configure with -DMURTESK_TESTDATA_DIR=<folder of the shared test data>, or -DMURTESK_TESTS=OFF.")
endif()
get_filename_component(MURTESK_TESTDATA_DIR_REAL "${MURTESK_TESTDATA_DIR}" REALPATH)

# The tests' runtime folder (XDG_RUNTIME_DIR), in the build tree: without one, Qt makes
# "runtime-<user>" in the temporary folder and leaves it there.
set(MURTESK_TEST_RUNTIME_DIR "${CMAKE_BINARY_DIR}/test-runtime")
if(MURTESK_TESTS)
  file(MAKE_DIRECTORY "${MURTESK_TEST_RUNTIME_DIR}")
  file(CHMOD "${MURTESK_TEST_RUNTIME_DIR}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
endif()

# murtesk_add_test(NAME name SOURCES a.cpp ... LIBS lib ... [TSAN] [LABELS l ...])
# One GoogleTest executable. TSAN marks tests of threaded code: they also run in the
# ThreadSanitizer build, which builds nothing else.
function(murtesk_add_test)
  cmake_parse_arguments(T "TSAN" "NAME" "SOURCES;LIBS;LABELS" ${ARGN})
  if(NOT MURTESK_TESTS)
    return()
  endif()
  if(MURTESK_TSAN_ONLY AND NOT T_TSAN)
    return()
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} murtesk_scratch GTest::gtest GTest::gmock GTest::gtest_main)
  set(labels ${T_LABELS})
  if(T_TSAN)
    list(APPEND labels tsan)
  endif()
  # The tests run through "cmake -E env" so that they see the test environment: the ENVIRONMENT
  # property does not survive the test discovery (it splits the list at every ";").
  set_target_properties(${T_NAME} PROPERTIES CROSSCOMPILING_EMULATOR
    "${CMAKE_COMMAND};-E;env;MURTESK_TESTDATA=${MURTESK_TESTDATA_DIR_REAL};MURTESK_SOURCE_DIR=${PROJECT_SOURCE_DIR};QT_QPA_PLATFORM=offscreen;XDG_RUNTIME_DIR=${MURTESK_TEST_RUNTIME_DIR};LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/scripts/lsan.supp:print_suppressions=0")
  if(labels)
    gtest_discover_tests(${T_NAME} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 PROPERTIES LABELS "${labels}")
  else()
    gtest_discover_tests(${T_NAME} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60)
  endif()
endfunction()

# murtesk_add_fuzzer(NAME name SOURCES a.cpp ... LIBS lib ... [CORPUS dir])
# A libFuzzer target, built only in the fuzz build. scripts/test runs each one for a bounded time.
function(murtesk_add_fuzzer)
  cmake_parse_arguments(F "" "NAME;CORPUS" "SOURCES;LIBS" ${ARGN})
  if(NOT MURTESK_FUZZ)
    return()
  endif()
  add_executable(${F_NAME} ${F_SOURCES})
  target_link_libraries(${F_NAME} PRIVATE ${F_LIBS})
  target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
  set_target_properties(${F_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzzers)
  if(F_CORPUS)
    file(WRITE ${CMAKE_BINARY_DIR}/fuzzers/${F_NAME}.corpus "${F_CORPUS}\n")
  endif()
endfunction()

# murtesk_check_sources(<target> <name> <script>)
# A build-time check of a target's own files: its sources, and the headers (*.h) in each folder that holds
# one of them, except the Qt views (*View.h, *View.cpp). <script> runs as
#   cmake -DTARGET=<target> -DFILES=<files> -P <script>
# and fails the build when it reports an error; it reruns when one of the files changes. The files are
# gathered once the whole tree is configured, so sources added to the target from other folders count.
function(murtesk_check_sources target name script)
  cmake_language(EVAL CODE
    "cmake_language(DEFER DIRECTORY [[${CMAKE_SOURCE_DIR}]] CALL _murtesk_add_source_check [[${target}]] [[${name}]] [[${script}]])")
endfunction()

function(_murtesk_add_source_check target name script)
  get_target_property(source_dir ${target} SOURCE_DIR)
  get_target_property(sources ${target} SOURCES)
  set(files)
  set(folders)
  foreach(source IN LISTS sources)
    if(source MATCHES "^\\$<")
      continue()
    endif()
    cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${source_dir} NORMALIZE OUTPUT_VARIABLE path)
    list(APPEND files ${path})
    cmake_path(GET path PARENT_PATH folder)
    list(APPEND folders ${folder})
  endforeach()
  list(REMOVE_DUPLICATES folders)
  foreach(folder IN LISTS folders)
    file(GLOB headers CONFIGURE_DEPENDS ${folder}/*.h)
    list(APPEND files ${headers})
  endforeach()
  list(FILTER files EXCLUDE REGEX "View\\.(h|cpp)$")
  list(REMOVE_DUPLICATES files)
  list(SORT files)
  set(stamp ${CMAKE_BINARY_DIR}/checks/${target}_${name}.stamp)
  add_custom_command(
    OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DTARGET=${target} "-DFILES=${files}" -P ${script}
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${files} ${script}
    COMMENT "Checking ${target}: ${name}"
    VERBATIM)
  add_custom_target(${target}_${name} DEPENDS ${stamp})
  add_dependencies(${target} ${target}_${name})
endfunction()

# murtesk_check_no_qt(<target>): the target's own files include no Qt header (only the views do).
function(murtesk_check_no_qt target)
  murtesk_check_sources(${target} no_qt ${PROJECT_SOURCE_DIR}/cmake/CheckNoQtIncludes.cmake)
endfunction()
