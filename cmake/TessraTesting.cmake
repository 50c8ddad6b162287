# The sanitizer options every test runs with, and every program a test starts
# (tessra, tessra-run, the loader, the D-Bus activated program: they inherit the
# test's environment). A report of undefined behaviour ends the program, with
# its stack; leaks are reported, less the third-party ones tests/lsan.supp
# names. In a build without sanitizers nothing reads them.
set(TESSRA_TEST_ENVIRONMENT
  "ASAN_OPTIONS=detect_leaks=1:check_initialization_order=1"
  "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0"
  "UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1")

# Sanitized programs run several times slower; every test's time limit is
# multiplied by this.
if(TESSRA_SANITIZE)
  set(TESSRA_TEST_TIMEOUT_FACTOR 2)
else()
  set(TESSRA_TEST_TIMEOUT_FACTOR 1)
endif()

# tessra_test_properties(<test> TIMEOUT <seconds> [ENV ...] [PROPERTIES ...])
# The environment (the sanitizer options, then ENV, which may override them)
# and the time limit of a test registered with add_test, plus any further
# test properties.
function(tessra_test_properties test)
  cmake_parse_arguments(T "" "TIMEOUT" "ENV;PROPERTIES" ${ARGN})
  if(NOT T_TIMEOUT)
    message(FATAL_ERROR "tessra_test_properties(${test}): TIMEOUT is required")
  endif()
  math(EXPR timeout "${T_TIMEOUT} * ${TESSRA_TEST_TIMEOUT_FACTOR}")
  set(environment ${TESSRA_TEST_ENVIRONMENT} ${T_ENV})
  set_tests_properties(${test} PROPERTIES ENVIRONMENT "${environment}" TIMEOUT ${timeout}
    ${T_PROPERTIES})
endfunction()

# tessra_add_test(NAME name SOURCES ... [LIBS ...] [QT] [ENV ...])
# One test executable per area (QT: with a QApplication main), registered with CTest. QT tests run on the
# offscreen platform; every test gets private settings and data folders.
function(tessra_add_test)
  cmake_parse_arguments(T "QT" "NAME" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  tessra_warnings(${T_NAME})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock)
  if(T_QT)
    target_link_libraries(${T_NAME} PRIVATE Tessra::qt_test_main)
  else()
    target_link_libraries(${T_NAME} PRIVATE GTest::gtest_main)
  endif()
  target_link_libraries(${T_NAME} PRIVATE Tessra::test_support)
  target_compile_definitions(${T_NAME} PRIVATE
    TESSRA_BINARY_DIR="${CMAKE_BINARY_DIR}"
    TESSRA_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  set(private ${CMAKE_CURRENT_BINARY_DIR}/${T_NAME}.home)
  tessra_test_properties(${T_NAME} TIMEOUT 300
    ENV QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=${private}/config XDG_DATA_HOME=${private}/data
        ${T_ENV})
endfunction()
