# Web build (emscripten): the program, the parts of the port every system
# shares and the web port, linked to glimmerz.js and glimmerz.wasm in one folder
# with the page, the synthesiser and its instruments. A native build makes the
# resources and the instruments (GLIMMERZ_RES, GLIMMERZ_ASSET_DIR).
set(GLIMMERZ_RES "" CACHE FILEPATH "the resource file a native build compiled")
set(GLIMMERZ_WEB_DIR "${CMAKE_BINARY_DIR}/page" CACHE PATH "where the page and everything it loads go")
if(NOT EXISTS "${GLIMMERZ_RES}")
  message(FATAL_ERROR "GLIMMERZ_RES must name the .res file of a native build")
endif()
add_compile_options(-Wall -Wextra -Wno-unused-parameter -O2)

set(shared_port
  win32/bitmap_load.cpp win32/com.cpp win32/com_classes.cpp win32/command_line.cpp win32/gdi.cpp
  win32/handles.cpp win32/kernel.cpp win32/libraries.cpp win32/message_queue.cpp win32/resources.cpp
  win32/timer.cpp win32/window_timers.cpp
  win32/registry/held_values.cpp win32/registry/registry_document.cpp win32/registry/registry_keys.cpp
  win32/registry/registry_text.cpp
  directx/capture.cpp directx/d3d_device.cpp directx/gl_batch.cpp directx/gl_draw.cpp directx/gl_program.cpp directx/d3d_object.cpp directx/d3d_vertices.cpp
  directx/d3d_viewport.cpp directx/ddraw_object.cpp directx/ddraw_surface.cpp directx/displays.cpp
  directx/gl_rounding_rule.cpp directx/picture_fit.cpp directx/texture_formats.cpp directx/texture_hull.cpp
  dmusic/loader.cpp dmusic/notifications.cpp dmusic/segment.cpp)
list(TRANSFORM shared_port PREPEND ${CMAKE_SOURCE_DIR}/port/)
file(GLOB web_port CONFIGURE_DEPENDS port/web/*.cpp port/guids/*.cpp)
file(GLOB program_src CONFIGURE_DEPENDS src/*/*.cpp)

add_executable(glimmerz ${program_src} ${shared_port} ${web_port})
target_include_directories(glimmerz PRIVATE src port)
# Read at every configuration, which `make web` runs after making the file.
file(SIZE ${GLIMMERZ_RES} res_size)
target_compile_definitions(glimmerz PRIVATE GLIMMERZ_RES_PATH="${GLIMMERZ_RES}" GLIMMERZ_RES_SIZE=${res_size})
set_source_files_properties(port/web/embedded_res.cpp PROPERTIES OBJECT_DEPENDS ${GLIMMERZ_RES})
set_target_properties(glimmerz PROPERTIES SUFFIX ".js" RUNTIME_OUTPUT_DIRECTORY ${GLIMMERZ_WEB_DIR})
# The program's loop keeps its stack across the browser's frames (Asyncify);
# the module is a factory, for the synthesiser is an emscripten module too and
# owns the page's global Module.
target_link_options(glimmerz PRIVATE -O2 -sASYNCIFY=1 -sASYNCIFY_STACK_SIZE=65536 -sMIN_WEBGL_VERSION=2
  -sMAX_WEBGL_VERSION=2 -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=67108864 -sENVIRONMENT=web
  -sMODULARIZE=1 -sEXPORT_NAME=Glimmerz -sEXPORTED_RUNTIME_METHODS=ENV -sFILESYSTEM=0)

# The page and what it loads beside the program.
set(page_files
  ${CMAKE_SOURCE_DIR}/port/web/page/index.html ${CMAKE_SOURCE_DIR}/port/web/page/glimmerz-page.js
  ${CMAKE_SOURCE_DIR}/port/web/page/music.js
  ${CMAKE_SOURCE_DIR}/port/web/node_modules/js-synthesizer/externals/libfluidsynth-2.4.6.js
  ${CMAKE_SOURCE_DIR}/port/web/node_modules/js-synthesizer/dist/js-synthesizer.min.js
  ${GLIMMERZ_ASSET_DIR}/instruments.sf2)
set(page_copies)
foreach(f ${page_files})
  get_filename_component(name ${f} NAME)
  add_custom_command(OUTPUT ${GLIMMERZ_WEB_DIR}/${name} COMMAND ${CMAKE_COMMAND} -E copy ${f} ${GLIMMERZ_WEB_DIR}/${name}
                     DEPENDS ${f})
  list(APPEND page_copies ${GLIMMERZ_WEB_DIR}/${name})
endforeach()
add_custom_target(page ALL DEPENDS ${page_copies})
