# "cpack -G DEB" in the build folder makes vantorix_2.5.0_amd64.deb.
set(CPACK_PACKAGE_NAME vantorix)
set(CPACK_PACKAGE_VENDOR "Vantorix")
set(CPACK_PACKAGE_CONTACT "Vantorix <info@vantorix.eu>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "front-end for Game Boy and Game Boy Color emulators")
set(CPACK_PACKAGE_DESCRIPTION "Vantorix keeps a list of Game Boy and Game Boy Color ROM files, shows each
game by the title its cartridge header holds, and starts one of three
emulators of your choice with the chosen game. It reads plain, zipped and 7z
ROM files, in folders of your collection, and emulates nothing itself.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://vantorix.eu")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "mgba-qt | mgba-sdl | visualboyadvance | mednafen | gngb | retroarch")
# The hash cache's SQLite driver is a plug-in no library links to.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, mgba-common")
# Permissions as Debian wants them, whatever the build folder's umask.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_GENERATOR DEB)
include(CPack)
