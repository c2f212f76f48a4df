# The Windows screen saver (32- or 64-bit, after the toolchain): the program's sources over the real Win32,
# DirectX and DirectMusic, resources compiled in by windres.
enable_language(RC)
file(GLOB_RECURSE program_src CONFIGURE_DEPENDS src/*.cpp)
add_executable(Glimmerz WIN32 ${program_src} resources/glimmerz.rc)
set_target_properties(Glimmerz PROPERTIES SUFFIX ".scr")
target_include_directories(Glimmerz PRIVATE src)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I ${CMAKE_SOURCE_DIR}/resources -I ${GLIMMERZ_ASSET_DIR}")
target_compile_options(Glimmerz PRIVATE -Wall -Wno-unused-parameter)
target_link_options(Glimmerz PRIVATE -static -mwindows)
target_link_libraries(Glimmerz PRIVATE dxguid ole32 uuid gdi32 user32 advapi32 winmm)

include(cmake/windows-package.cmake)
