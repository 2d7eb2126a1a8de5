# quorvel_add_test(NAME tst_x SOURCES a.cpp ... LIBS lib ... [LABEL folder])
# Builds one Qt Test executable and registers it with CTest, labelled by the
# folder it lives in. Widget tests run on the offscreen platform so that they
# need no display.
function(quorvel_add_test)
  cmake_parse_arguments(T "" "NAME;LABEL" "SOURCES;LIBS" ${ARGN})
  if(NOT T_LABEL)
    get_filename_component(T_LABEL "${CMAKE_CURRENT_SOURCE_DIR}" NAME)
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE Qt6::Test ${T_LIBS})
  target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests/common)
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  set_tests_properties(${T_NAME} PROPERTIES
    LABELS "${T_LABEL}"
    TIMEOUT 300
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8")
endfunction()
