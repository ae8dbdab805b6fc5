# add_platform_test(name sources... LIBS libs...): a GoogleTest program run
# headless by ctest, with its own temporary settings and registry folder.
function(add_gtest name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE GTest::gtest GTest::gtest_main ${T_LIBS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  # Tests of the game register the real browser component in their registry.
  target_compile_definitions(${name} PRIVATE ROAMWELL_DLL="${STAGE_DIR}/RoamwellDLL/libRoamwellDLL.so")
  target_link_libraries(${name} PRIVATE ${CMAKE_DL_LIBS})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QTWEBENGINE_DISABLE_SANDBOX=1;${T_ENV}"
    TIMEOUT 300)
endfunction()
