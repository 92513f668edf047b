# `cpack -G DEB` in the build folder: a Debian package of what
# cmake/Install.cmake installs, under /usr.  The shared libraries the
# programs need are found by dpkg-shlibdeps; the rest is named here: Qt's
# platform plugins (without them the window can't open), a Japanese font,
# and Qt's translations for the Japanese dialogs.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pomurina)
set(CPACK_PACKAGE_VENDOR "ポムリナ制作室")
set(CPACK_PACKAGE_CONTACT "ポムリナ制作室 <pomurina@example.jp>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Apache access log analyser for Japanese site owners")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "ポムリナ reads an Apache access log (combined format), from the disk or fetched
by FTP, FTPS or SFTP, and shows connection, GET and POST totals with their
200/403/404 outcomes, distinct hosts and files, failed requests, outside
referrers, robot visits, watched hosts, hourly graphs, the transferred volume
and the raw log in one tabbed window. Its interface is Japanese.
.
pomurina-report runs the same analysis without a window.")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://pomurina.example.jp/")
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libcurl is loaded when a fetch needs it, so the package's libraries don't name it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libcurl4, qt6-qpa-plugins, fonts-ipafont-gothic | fonts-japanese-gothic")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
