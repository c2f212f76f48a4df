# Installing the Linux build as a screen-saver daemon's hack, and the Debian
# package made from the same rules (make install, make package).
include(GNUInstallDirs)

# The Windows savers come from the cross builds; a machine without them still
# installs everything else. The 64-bit one keeps its file name in a folder of
# its own, since that name is what a Windows system folder expects.
set(GLIMMERZ_WINDOWS_SCR "${CMAKE_SOURCE_DIR}/build/windows/Glimmerz.scr" CACHE FILEPATH
    "the 32-bit Windows build's Glimmerz.scr, installed beside the Linux files")
set(GLIMMERZ_WINDOWS64_SCR "${CMAKE_SOURCE_DIR}/build/windows64/Glimmerz.scr" CACHE FILEPATH
    "the 64-bit Windows build's Glimmerz.scr, installed beside the Linux files")

install(TARGETS glimmerz RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Where XScreenSaver looks for its hacks.
install(TARGETS glimmerz RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/xscreensaver)
# Stripped as Debian strips its programs: the compilers' notes go with the symbols.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    foreach(program ${CMAKE_INSTALL_BINDIR}/glimmerz ${CMAKE_INSTALL_LIBEXECDIR}/xscreensaver/glimmerz)
      execute_process(COMMAND ${CMAKE_OBJCOPY} --remove-section=.comment
                              \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\${program}\")
    endforeach()
  endif()")
install(FILES resources/linux/glimmerz.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/xscreensaver/config)
install(FILES resources/linux/glimmerz-settings.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

# Who answers for the package: its Maintainer, the changelog's signature and the
# copyright file's contact. A packager puts their own address here.
set(GLIMMERZ_PACKAGE_MAINTAINER "Glimmerz developers <glimmerz@glimmerz.invalid>" CACHE STRING
    "name and address the Debian package gives as its maintainer")
# The manual page and the changelog compressed as Debian keeps them: gzip -9n,
# so the same text gives the same bytes; the copyright file in Debian's
# machine-readable format.
configure_file(resources/linux/glimmerz.6.in ${CMAKE_BINARY_DIR}/glimmerz.6 @ONLY)
configure_file(resources/linux/changelog.in ${CMAKE_BINARY_DIR}/changelog @ONLY)
configure_file(resources/linux/copyright.in ${CMAKE_BINARY_DIR}/copyright @ONLY)
find_program(GLIMMERZ_GZIP NAMES gzip REQUIRED)
set(glimmerz_compressed)
foreach(file glimmerz.6 changelog)
  add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/${file}.gz
    COMMAND ${GLIMMERZ_GZIP} -9n -c ${CMAKE_BINARY_DIR}/${file} > ${CMAKE_BINARY_DIR}/${file}.gz
    DEPENDS ${CMAKE_BINARY_DIR}/${file}
    COMMENT "Compressing ${file}")
  list(APPEND glimmerz_compressed ${CMAKE_BINARY_DIR}/${file}.gz)
endforeach()
add_custom_target(glimmerz_compressed_docs ALL DEPENDS ${glimmerz_compressed})
install(FILES ${CMAKE_BINARY_DIR}/glimmerz.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${CMAKE_BINARY_DIR}/changelog.gz ${CMAKE_BINARY_DIR}/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/glimmerz)
install(FILES ${GLIMMERZ_WINDOWS_SCR} DESTINATION ${CMAKE_INSTALL_DATADIR}/glimmerz OPTIONAL)
install(FILES ${GLIMMERZ_WINDOWS64_SCR} DESTINATION ${CMAKE_INSTALL_DATADIR}/glimmerz/x64 OPTIONAL)

# The desktop entry's icon: the program's own icon file, each of its sizes as a
# PNG of the hicolor theme.
find_program(GLIMMERZ_CONVERT NAMES convert REQUIRED)
set(glimmerz_icons)
# Each size and its place in the icon file.
foreach(entry 16:0 32:1 48:2)
  string(REPLACE ":" ";" entry ${entry})
  list(GET entry 0 size)
  list(GET entry 1 layer)
  set(png "${CMAKE_BINARY_DIR}/icons/${size}x${size}/glimmerz.png")
  add_custom_command(
    OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}x${size}
    COMMAND ${GLIMMERZ_CONVERT} "${GLIMMERZ_ASSET_DIR}/glimmerz.ico[${layer}]" -strip PNG32:${png}
    DEPENDS ${GLIMMERZ_ASSET_DIR}/glimmerz.ico
    COMMENT "Icon ${size}x${size} as PNG")
  list(APPEND glimmerz_icons ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(glimmerz_icons ALL DEPENDS ${glimmerz_icons})
get_property(glimmerz_asset_targets GLOBAL PROPERTY GLIMMERZ_ASSET_TARGETS)
add_dependencies(glimmerz_icons ${glimmerz_asset_targets})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME glimmerz)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "light bulb commercial as a 3D screen saver")
set(CPACK_PACKAGE_DESCRIPTION "A mock product commercial for a light bulb, drawn in 3D with a MIDI tune;\n\
a hack for XScreenSaver, with the Windows screen saver beside it.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${GLIMMERZ_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
# Dependencies come from the libraries the binary links, and SDL opens the GL
# library itself at run time.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xscreensaver)
include(CPack)
