# embed_resources(<target> <script>): compiles a resource script (see
# ResGen.cpp) into the target's "plat_resources" section.
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

# com_interface(<target> <typelib> <folder>): generates the C++ face of a type
# library (see InterfaceGen.h) as <folder>/<name>_i.h, the identifiers and
# interfaces for clients and the component, and <folder>/<name>_dispatch.h,
# the dispatch tables for the component, where <name> is the type library's
# file name up to its first dot. <target> is an interface library: linking it
# makes both headers available under those names.
function(com_interface target typelib folder)
  get_filename_component(typelib_path ${typelib} ABSOLUTE)
  get_filename_component(name ${typelib} NAME_WE)
  set(include_dir ${CMAKE_CURRENT_BINARY_DIR}/${target}_include)
  set(header ${include_dir}/${folder}/${name}_i.h)
  set(dispatch ${include_dir}/${folder}/${name}_dispatch.h)
  add_custom_command(OUTPUT ${header} ${dispatch}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${include_dir}/${folder}
    COMMAND plat_resgen --interface ${typelib_path} ${header} ${dispatch}
    DEPENDS plat_resgen ${typelib_path}
    COMMENT "Generating the interface of ${name}"
    VERBATIM)
  add_custom_target(${target}_headers DEPENDS ${header} ${dispatch})
  add_library(${target} INTERFACE)
  target_include_directories(${target} INTERFACE ${include_dir})
  target_link_libraries(${target} INTERFACE plat_com)
  add_dependencies(${target} ${target}_headers)
endfunction()
