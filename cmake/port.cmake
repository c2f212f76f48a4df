# The port's Windows behaviour, which every build without Windows shares: the
# service families' folders, with none of a system's own headers.
file(GLOB port_core_src CONFIGURE_DEPENDS
     ${CMAKE_SOURCE_DIR}/port/win32/*.cpp ${CMAKE_SOURCE_DIR}/port/win32/dialog/*.cpp
     ${CMAKE_SOURCE_DIR}/port/win32/registry/*.cpp ${CMAKE_SOURCE_DIR}/port/directx/*.cpp
     ${CMAKE_SOURCE_DIR}/port/dmusic/*.cpp)
set_source_files_properties(${CMAKE_SOURCE_DIR}/port/win32/daemon_options.cpp PROPERTIES
                            COMPILE_DEFINITIONS GLIMMERZ_VERSION="${PROJECT_VERSION}")
