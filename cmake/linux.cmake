# Native build: asset generators, the port layer, the program, tests and benchmarks.
find_package(PkgConfig REQUIRED)
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
pkg_check_modules(FLUIDSYNTH REQUIRED IMPORTED_TARGET fluidsynth)
pkg_check_modules(GTK3 REQUIRED IMPORTED_TARGET gtk+-3.0)
pkg_check_modules(X11 REQUIRED IMPORTED_TARGET x11)
find_package(OpenGL REQUIRED)

option(GLIMMERZ_SANITIZE "build with AddressSanitizer and UBSan" OFF)
if(GLIMMERZ_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
add_compile_options(-Wall -Wextra -Wno-unused-parameter)

# Generators first: they fill GLIMMERZ_ASSET_DIR and list their outputs in the
# global property GLIMMERZ_ASSETS and their targets in GLIMMERZ_ASSET_TARGETS.
add_subdirectory(tools)
get_property(glimmerz_assets GLOBAL PROPERTY GLIMMERZ_ASSETS)

# The same resource script as the Windows build, compiled to a .res file that
# the Linux binary carries inside itself.
find_program(GLIMMERZ_WINDRES NAMES i686-w64-mingw32-windres x86_64-w64-mingw32-windres windres REQUIRED)
set(GLIMMERZ_RES "${CMAKE_BINARY_DIR}/glimmerz.res")
file(GLOB glimmerz_rc_inputs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/*)
add_custom_command(
  OUTPUT ${GLIMMERZ_RES}
  COMMAND ${GLIMMERZ_WINDRES} -O res -I ${CMAKE_SOURCE_DIR}/resources -I ${GLIMMERZ_ASSET_DIR}
          ${CMAKE_SOURCE_DIR}/resources/glimmerz.rc ${GLIMMERZ_RES}
  DEPENDS ${glimmerz_rc_inputs} ${glimmerz_assets}
  COMMENT "Compiling resources")
add_custom_target(glimmerz_res_file DEPENDS ${GLIMMERZ_RES})
# The generators' outputs belong to other folders' rules: order by target too,
# or a fresh build finds no rule for them.
get_property(glimmerz_asset_targets GLOBAL PROPERTY GLIMMERZ_ASSET_TARGETS)
if(glimmerz_asset_targets)
  add_dependencies(glimmerz_res_file ${glimmerz_asset_targets})
endif()

# The blob is pulled in with .incbin; the object must rebuild when the .res changes.
add_library(glimmerz_res OBJECT port/drivers/linux/embedded_res.cpp)
target_compile_definitions(glimmerz_res PRIVATE GLIMMERZ_RES_PATH="${GLIMMERZ_RES}")
set_source_files_properties(port/drivers/linux/embedded_res.cpp PROPERTIES OBJECT_DEPENDS ${GLIMMERZ_RES})
add_dependencies(glimmerz_res glimmerz_res_file)

# The port layer: the Windows behaviour written once (cmake/port.cmake), and
# the drivers of a Linux desktop below it, each a folder of port/drivers/.
include(cmake/port.cmake)
# A driver folder may say what it builds with in a driver.cmake of its own.
set(linux_drivers linux sdl x11 wayland)
set(port_src ${port_core_src})
set(port_include_dirs)
set(port_libraries)
foreach(driver ${linux_drivers})
  file(GLOB driver_src CONFIGURE_DEPENDS port/drivers/${driver}/*.cpp)
  list(APPEND port_src ${driver_src})
  set(driver_generated)
  set(driver_include_dirs)
  set(driver_libraries)
  if(EXISTS ${CMAKE_SOURCE_DIR}/port/drivers/${driver}/driver.cmake)
    include(port/drivers/${driver}/driver.cmake)
  endif()
  list(APPEND port_src ${driver_generated})
  list(APPEND port_include_dirs ${driver_include_dirs})
  list(APPEND port_libraries ${driver_libraries})
endforeach()
list(REMOVE_ITEM port_src ${CMAKE_SOURCE_DIR}/port/drivers/linux/embedded_res.cpp
     ${CMAKE_SOURCE_DIR}/port/drivers/linux/main.cpp)
file(GLOB guid_src CONFIGURE_DEPENDS port/guids/*.cpp)
add_library(glimmerz_guids STATIC ${guid_src})
target_include_directories(glimmerz_guids PUBLIC port)
add_library(glimmerz_port STATIC ${port_src})
target_include_directories(glimmerz_port PUBLIC port src)
target_include_directories(glimmerz_port PRIVATE ${port_include_dirs})
target_link_libraries(glimmerz_port PUBLIC glimmerz_guids PkgConfig::SDL2 PkgConfig::FLUIDSYNTH
                      PkgConfig::GTK3 PkgConfig::X11 OpenGL::GL ${port_libraries})

# The program, one library per folder so a test can put recording stand-ins in
# place of any neighbour.
foreach(part shell settings gfx show music)
  file(GLOB part_src CONFIGURE_DEPENDS src/${part}/*.cpp)
  add_library(glimmerz_${part} STATIC ${part_src})
  target_include_directories(glimmerz_${part} PUBLIC src port)
  target_link_libraries(glimmerz_${part} PUBLIC glimmerz_guids)
endforeach()

add_executable(glimmerz port/drivers/linux/main.cpp $<TARGET_OBJECTS:glimmerz_res>)
target_link_libraries(glimmerz PRIVATE
  -Wl,--start-group glimmerz_shell glimmerz_settings glimmerz_gfx glimmerz_show glimmerz_music
  glimmerz_port -Wl,--end-group)

# The program hardened as Debian builds its own: checked memory and string calls
# where the optimiser knows the sizes, a stack guard, and relocations made
# read-only before it runs.
foreach(target glimmerz glimmerz_res glimmerz_guids glimmerz_port glimmerz_shell glimmerz_settings glimmerz_gfx
               glimmerz_show glimmerz_music)
  if(NOT GLIMMERZ_SANITIZE)
    target_compile_options(${target} PRIVATE $<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-D_FORTIFY_SOURCE=2>)
  endif()
  target_compile_options(${target} PRIVATE -fstack-protector-strong)
endforeach()
target_link_options(glimmerz PRIVATE -Wl,-z,relro,-z,now)

include(cmake/install.cmake)

# Tests need the test packages (tools/setup-deps.sh test); a machine set up only
# to run the saver builds without them.
find_package(GTest QUIET)
option(GLIMMERZ_TESTS "build the tests and benchmarks" ${GTest_FOUND})
if(GLIMMERZ_TESTS)
  enable_testing()
  add_subdirectory(tests)
endif()
