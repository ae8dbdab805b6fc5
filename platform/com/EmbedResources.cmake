# embed_resources(<target> <script>): compiles a resource script (see
# platform/com/resgen/ResGen.cpp) into the target's "plat_resources" section.
function(embed_resources target script)
  get_filename_component(script_path ${script} ABSOLUTE)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.cpp)
  add_custom_command(OUTPUT ${out}
    COMMAND plat_resgen ${script_path} ${out} ${out}.d
    DEPENDS plat_resgen ${script_path}
    DEPFILE ${out}.d
    COMMENT "Embedding the resources of ${target}"
    VERBATIM)
  target_sources(${target} PRIVATE ${out})
endfunction()
