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
  set_tests_properties(${T_NAME} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_CONFIG_HOME=${private}/config;XDG_DATA_HOME=${private}/data;${T_ENV}"
    TIMEOUT 300)
endfunction()
