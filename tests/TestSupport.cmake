# add_gtest(name [WEBENGINE] SOURCES files... LIBS libs... ENV vars...): a
# GoogleTest program that ctest runs headless (offscreen, the web engine
# unsandboxed). WEBENGINE marks a program that loads the web engine: it
# carries the ctest label "webengine", which the sanitizer run leaves out
# (ctest -LE webengine).
function(add_gtest name)
  cmake_parse_arguments(T "WEBENGINE" "" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE GTest::gtest GTest::gtest_main ${T_LIBS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${CMAKE_DL_LIBS})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QTWEBENGINE_DISABLE_SANDBOX=1;${T_ENV}"
    TIMEOUT 300)
  if(T_WEBENGINE)
    set_tests_properties(${name} PROPERTIES LABELS webengine)
  endif()
endfunction()

# register_browser_component(<test>): the test registers the real browser
# component (testenv::RegisterBrowserComponent): the game's end-to-end tests
# and the component's own COM tests.
function(register_browser_component test)
  target_compile_definitions(${test} PRIVATE ROAMWELL_DLL="$<TARGET_FILE:RoamwellDLL>")
  add_dependencies(${test} RoamwellDLL)
endfunction()

# register_help_browser_standin(<test>): the test registers a stand-in under
# the browser component's class id (testenv::RegisterHelpBrowserStandIn), so
# that a fault of the browser cannot fail a test of the game's logic.
function(register_help_browser_standin test)
  target_compile_definitions(${test} PRIVATE HELP_BROWSER_STANDIN="$<TARGET_FILE:HelpBrowserStandIn>")
  add_dependencies(${test} HelpBrowserStandIn)
endfunction()

# add_component_test(name [X11] SOURCES files...): a test program on the
# browser component's fixtures (tests/RoamwellDLL): the component's code run
# in the test's own process (roamwell_in_process), the web engine, a page
# server and QTest. X11 adds the private X server (test_x11). The calling
# folder finds Qt's Network and Test modules.
function(add_component_test name)
  cmake_parse_arguments(T "X11" "" "SOURCES" ${ARGN})
  set(libs Qt6::Network Qt6::Test)
  if(T_X11)
    list(PREPEND libs test_x11)
  endif()
  add_gtest(${name} WEBENGINE SOURCES ${T_SOURCES} LIBS ${libs})
  roamwell_in_process(${name})
endfunction()
