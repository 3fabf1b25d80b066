# quarn_add_gtest(<name> LABEL <label> [ALSO_THROUGH_LAYER] SOURCES <files...> LIBS <targets...>)
# One GoogleTest executable whose cases are registered with CTest under <label>.
# ALSO_THROUGH_LAYER (render tests): where the GL 1.1 layer is built, the same
# cases are registered a second time, named "gles.<case>", drawing through the
# layer in an OpenGL ES 3 context instead of desktop OpenGL.
# In the Windows build the label gets "-windows" (unit-windows) and the cases are
# listed when CTest runs, under Wine, not while building.
function(quarn_add_gtest name)
  cmake_parse_arguments(T "ALSO_THROUGH_LAYER" "LABEL;TIMEOUT" "SOURCES;LIBS" ${ARGN})
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
    WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}
    PROPERTIES LABELS ${T_LABEL} TIMEOUT ${T_TIMEOUT}
    DISCOVERY_TIMEOUT 60
    ${mode})
  if(T_ALSO_THROUGH_LAYER AND QUARN_GLES)
    gtest_discover_tests(${name}
      TEST_PREFIX "gles."
      WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}
      PROPERTIES LABELS ${T_LABEL} TIMEOUT ${T_TIMEOUT} ENVIRONMENT QUARN_OFFSCREEN_GL=layer
      DISCOVERY_TIMEOUT 60
      ${mode})
  endif()
endfunction()
