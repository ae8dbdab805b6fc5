# Helpers that place deliverables and their files in the staged tree.

# stage_executable(target folder): the program lands in ${STAGE_DIR}/folder and
# finds the platform libraries in ../lib.
function(stage_executable target folder)
  set_target_properties(${target} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${STAGE_DIR}/${folder}
    BUILD_RPATH "$ORIGIN/../lib"
    INSTALL_RPATH "$ORIGIN/../lib")
endfunction()

# stage_module(target folder): a shared library loaded at run time (a component).
function(stage_module target folder)
  set_target_properties(${target} PROPERTIES
    LIBRARY_OUTPUT_DIRECTORY ${STAGE_DIR}/${folder}
    BUILD_RPATH "$ORIGIN/../lib"
    INSTALL_RPATH "$ORIGIN/../lib")
endfunction()

# stage_files(target folder files...): copies plain files beside a deliverable
# whenever they change.
function(stage_files target folder)
  foreach(f ${ARGN})
    get_filename_component(name ${f} NAME)
    set(out ${STAGE_DIR}/${folder}/${name})
    add_custom_command(OUTPUT ${out}
      COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_CURRENT_SOURCE_DIR}/${f} ${out}
      DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${f})
    list(APPEND outs ${out})
  endforeach()
  add_custom_target(${target}_files ALL DEPENDS ${outs})
  add_dependencies(${target} ${target}_files)
endfunction()
