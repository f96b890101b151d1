# The Debian package: scripts/package builds it with `cpack -G DEB` from a
# Release build, as jotlark_<version>_<arch>.deb.
set(CPACK_PACKAGE_NAME jotlark)
set(CPACK_PACKAGE_VENDOR "The Jotlark authors")
set(CPACK_PACKAGE_CONTACT "The Jotlark authors <authors@jotlark.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop note board with reminders")
set(CPACK_PACKAGE_DESCRIPTION "\
Jotlark is a small borderless note board that stays on the desktop, with a
Simplified Chinese interface. It keeps six short notes, each of which can
carry a reminder: at the chosen minute Jotlark plays its alarm and shows the
note. The board docks at a screen edge and slides out of sight, and comes in
four colour themes.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Loaded at run time, so the shared-library scan cannot see them: the zh_CN
# translation of Qt's buttons, the GStreamer plugins that decode and play the
# MP3 alarm, and a font with Chinese glyphs.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-translations-l10n, gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, fonts-wqy-microhei | fonts-noto-cjk")
if(NOT CPACK_DEBIAN_PACKAGE_ARCHITECTURE)
  find_program(DPKG_EXECUTABLE dpkg)
  if(DPKG_EXECUTABLE)
    execute_process(COMMAND ${DPKG_EXECUTABLE} --print-architecture
                    OUTPUT_VARIABLE CPACK_DEBIAN_PACKAGE_ARCHITECTURE OUTPUT_STRIP_TRAILING_WHITESPACE)
  else()
    set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
  endif()
endif()
set(CPACK_DEBIAN_FILE_NAME
    "${CPACK_PACKAGE_NAME}_${PROJECT_VERSION}_${CPACK_DEBIAN_PACKAGE_ARCHITECTURE}.deb")
include(CPack)
