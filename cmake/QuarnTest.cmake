# quarn_add_gtest(<name> LABEL <label> [PREFIX <prefix>] SOURCES <files...> LIBS <targets...>)
# One GoogleTest executable whose cases are registered with CTest under <label>,
# their names preceded by <prefix> when the same cases are built twice.
# In the Windows build the label gets "-windows" (unit-windows) and the cases are
# listed when CTest runs, under Wine, not while building.
function(quarn_add_gtest name)
  cmake_parse_arguments(T "" "LABEL;TIMEOUT;PREFIX" "SOURCES;LIBS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  set(mode)
  if(WIN32)
    set(T_LABEL ${T_LABEL}-windows)
    set(mode DISCOVERY_MODE PRE_TEST)
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  gtest_discover_tests(${name}
    TEST_PREFIX "${T_PREFIX}"
    WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}
    PROPERTIES LABELS ${T_LABEL} TIMEOUT ${T_TIMEOUT}
    DISCOVERY_TIMEOUT 60
    ${mode})
endfunction()
