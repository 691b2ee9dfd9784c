# The Debian package (`make package`): the four programs in /usr/bin, the
# image library in /usr/lib/TRIPLET/vexel2d, menu entries, icons, the file types of
# schemes and models, and the package's copyright and changelog. Each program
# installs itself beside its target; this file adds what belongs to none.
set(VEXEL_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(VEXEL_PACKAGING_OUT ${PROJECT_BINARY_DIR}/packaging)

install(FILES ${VEXEL_PACKAGING_DIR}/vexel2d.desktop ${VEXEL_PACKAGING_DIR}/v2dtool.desktop
        DESTINATION share/applications)
install(FILES ${VEXEL_PACKAGING_DIR}/vexel2d-mime.xml DESTINATION share/mime/packages RENAME vexel2d.xml)
install(FILES ${VEXEL_PACKAGING_DIR}/copyright DESTINATION share/doc/vexel2d)

# Debian wants the changelog compressed without a time stamp.
add_custom_command(OUTPUT ${VEXEL_PACKAGING_OUT}/changelog.Debian.gz
  COMMAND gzip -9nc ${VEXEL_PACKAGING_DIR}/changelog > ${VEXEL_PACKAGING_OUT}/changelog.Debian.gz
  DEPENDS ${VEXEL_PACKAGING_DIR}/changelog VERBATIM)
set(packaging_outputs ${VEXEL_PACKAGING_OUT}/changelog.Debian.gz)
install(FILES ${VEXEL_PACKAGING_OUT}/changelog.Debian.gz DESTINATION share/doc/vexel2d)

# A manual page for each program, compressed as Debian wants them.
foreach(page vexel2d v2dtool vexel2d-cli vexel2d-web)
  set(gz ${VEXEL_PACKAGING_OUT}/man/${page}.1.gz)
  add_custom_command(OUTPUT ${gz}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VEXEL_PACKAGING_OUT}/man
    COMMAND gzip -9nc ${VEXEL_PACKAGING_DIR}/man/${page}.1 > ${gz}
    DEPENDS ${VEXEL_PACKAGING_DIR}/man/${page}.1 VERBATIM)
  list(APPEND packaging_outputs ${gz})
  install(FILES ${gz} DESTINATION share/man/man1)
endforeach()

# The icons: drawn as SVG, rendered at the usual sizes when rsvg-convert is
# there (desktops fall back to the scalable one otherwise).
find_program(RSVG_CONVERT rsvg-convert)
foreach(icon vexel2d v2dtool)
  install(FILES ${VEXEL_PACKAGING_DIR}/icons/${icon}.svg DESTINATION share/icons/hicolor/scalable/apps)
  if(RSVG_CONVERT)
    foreach(size 16 32 48 64 128 256)
      set(png ${VEXEL_PACKAGING_OUT}/icons/${size}x${size}/${icon}.png)
      add_custom_command(OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${VEXEL_PACKAGING_OUT}/icons/${size}x${size}
        COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${VEXEL_PACKAGING_DIR}/icons/${icon}.svg
        DEPENDS ${VEXEL_PACKAGING_DIR}/icons/${icon}.svg VERBATIM)
      list(APPEND packaging_outputs ${png})
      install(FILES ${png} DESTINATION share/icons/hicolor/${size}x${size}/apps)
    endforeach()
  endif()
endforeach()
add_custom_target(vexel2d_packaging_files ALL DEPENDS ${packaging_outputs})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vexel2d)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Vexel2D developers")
set(CPACK_PACKAGE_CONTACT "Vexel2D developers <developers@vexel2d.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "home-decoration visualiser for room photographs")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Vexel2D lays floor tiles, wallpaper, stone and fabric into the outlined
regions of a room photograph at their real size, shaded by the photograph's
own light, places cut-out furniture in perspective and saves the result as a
scheme, a JPEG rendering and an HTML product report with a quote.
.
The package holds the program (vexel2d), the outline tool for new sample
rooms (v2dtool), the command line (vexel2d-cli) and the shop's catalogue
service (vexel2d-web). Each user's workspace is made from a demo workspace on
the first start.")
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://vexel2d.org")
# Libraries come from dpkg-shlibdeps; fonts and Qt's own Chinese dialogs are
# no libraries and are recommended by hand.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
