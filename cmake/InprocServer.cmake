# inproc_server(<target>): an in-process COM server module (a component, or a
# test's stand-in for one). It is compiled with hidden visibility and exports
# its four entry points only, so that nothing of it can clash with, or be
# taken for, a name of the program that loads it.
function(inproc_server target)
  set_target_properties(${target} PROPERTIES CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
  set(map ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/InprocServer.map)
  target_link_options(${target} PRIVATE "LINKER:--version-script=${map}")
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${map})
endfunction()

# check_exports(<test-name> <target> <symbols...>): a test that the target's
# shared library defines exactly these dynamic symbols.
function(check_exports name target)
  add_test(NAME ${name}
    COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM} -DLIBRARY=$<TARGET_FILE:${target}> "-DEXPECTED=${ARGN}"
            -P ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/CheckExports.cmake)
endfunction()
