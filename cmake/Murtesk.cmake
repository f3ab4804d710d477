# Build helpers shared by every area: sanitizer flags, tests and fuzz targets.

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
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  set(labels ${T_LABELS})
  if(T_TSAN)
    list(APPEND labels tsan)
  endif()
  # The tests run through "cmake -E env" so that they see the test environment: the ENVIRONMENT
  # property does not survive the test discovery (it splits the list at every ";").
  set_target_properties(${T_NAME} PROPERTIES CROSSCOMPILING_EMULATOR
    "${CMAKE_COMMAND};-E;env;MURTESK_TESTDATA=${MURTESK_TESTDATA_DIR_REAL};MURTESK_SOURCE_DIR=${PROJECT_SOURCE_DIR};QT_QPA_PLATFORM=offscreen;LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/scripts/lsan.supp:print_suppressions=0")
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

