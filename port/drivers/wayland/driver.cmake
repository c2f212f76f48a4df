# The Wayland driver's libraries, and the layer shell's protocol code, which
# wayland-scanner writes from the protocol file as the system ships it.
pkg_check_modules(WAYLAND REQUIRED IMPORTED_TARGET wayland-client wayland-egl egl)
find_program(GLIMMERZ_WAYLAND_SCANNER wayland-scanner REQUIRED)
pkg_get_variable(wayland_protocols_dir wayland-protocols pkgdatadir)
file(GLOB_RECURSE layer_shell_xml /usr/share/cargo/registry/wlr-layer-shell-unstable-v1.xml)
if(NOT layer_shell_xml)
  message(FATAL_ERROR "wlr-layer-shell-unstable-v1.xml not found: tools/setup-deps.sh installs it")
endif()
list(SORT layer_shell_xml)
list(GET layer_shell_xml -1 layer_shell_xml)
set(protocol_dir ${CMAKE_BINARY_DIR}/wayland-protocols)
set(driver_generated)
foreach(xml ${layer_shell_xml} ${wayland_protocols_dir}/stable/xdg-shell/xdg-shell.xml)
  get_filename_component(name ${xml} NAME_WE)
  add_custom_command(
    OUTPUT ${protocol_dir}/${name}-client-protocol.h ${protocol_dir}/${name}-protocol.c
    COMMAND ${CMAKE_COMMAND} -E make_directory ${protocol_dir}
    COMMAND ${GLIMMERZ_WAYLAND_SCANNER} client-header ${xml} ${protocol_dir}/${name}-client-protocol.h
    COMMAND ${GLIMMERZ_WAYLAND_SCANNER} private-code ${xml} ${protocol_dir}/${name}-protocol.c
    DEPENDS ${xml})
  list(APPEND driver_generated ${protocol_dir}/${name}-client-protocol.h ${protocol_dir}/${name}-protocol.c)
endforeach()
set(driver_include_dirs ${protocol_dir})
set(driver_libraries PkgConfig::WAYLAND)
