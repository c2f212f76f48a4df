# The Windows Installer package of this build's saver, build/windows*/Glimmerz.msi,
# from packaging/windows/glimmerz.wxs. wixl (Debian's wixl) is optional: a
# machine without it builds the saver all the same and says it skipped the package.
find_program(GLIMMERZ_WIXL wixl)
if(NOT GLIMMERZ_WIXL)
  message(NOTICE "wixl not found: skipping the Windows Installer package Glimmerz.msi "
                 "(tools/setup-deps.sh installs wixl and msitools)")
  return()
endif()

if(CMAKE_SYSTEM_PROCESSOR STREQUAL x86_64)
  set(msi_arch x64)
else()
  set(msi_arch x86)
endif()

# The removal's custom action, carried inside the package and never installed.
# Windows Installer finds its entry point by its plain name, so the 32-bit
# build's stdcall decoration is left off.
add_library(forget_saver SHARED packaging/windows/forget_saver.c)
set_target_properties(forget_saver PROPERTIES PREFIX "")
target_compile_options(forget_saver PRIVATE -Wall)
target_link_options(forget_saver PRIVATE -static-libgcc -Wl,--kill-at)
target_link_libraries(forget_saver PRIVATE msi advapi32)

set(wxs ${CMAKE_SOURCE_DIR}/packaging/windows/glimmerz.wxs)
set(icon ${GLIMMERZ_ASSET_DIR}/glimmerz.ico)
set(msi ${CMAKE_BINARY_DIR}/Glimmerz.msi)
# wixl finds the files a package holds only by paths relative to where it runs:
# here, beside the saver and the action. Everything but the version and the
# output is also written beside the package, where the Wine cases build a newer
# version of the same package from it.
file(RELATIVE_PATH icon_here ${CMAKE_BINARY_DIR} ${icon})
set(wixl_command ${GLIMMERZ_WIXL} -a ${msi_arch} -D Arch=${msi_arch} -D Saver=$<TARGET_FILE_NAME:Glimmerz>
    -D Icon=${icon_here} -D Actions=$<TARGET_FILE_NAME:forget_saver> ${wxs})
add_custom_command(OUTPUT ${msi}
                   COMMAND ${wixl_command} -D Version=${PROJECT_VERSION} -o ${msi}
                   WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
                   DEPENDS Glimmerz forget_saver ${wxs} ${icon}
                   COMMENT "Building the ${msi_arch} Windows Installer package Glimmerz.msi")
add_custom_target(glimmerz_msi ALL DEPENDS ${msi})
string(REPLACE ";" "\n" wixl_lines "${wixl_command}")
file(GENERATE OUTPUT ${msi}.wixl CONTENT "${wixl_lines}\n")
