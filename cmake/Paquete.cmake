# The Debian package: `cpack -G DEB` in the build folder (scripts/paquete.sh).
# The programs in /usr/bin, their shared files under /usr/share/quenvar, the
# icon in the hicolor theme and the menu entry in /usr/share/applications.
set(CPACK_PACKAGE_NAME quenvar)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Quenvar")
set(CPACK_PACKAGE_CONTACT "Quenvar <quenvar@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Recodificación de artículos de la suite de comercio y distribución")
set(CPACK_PACKAGE_DESCRIPTION "Cambia el código de los artículos en el maestro y en cada tabla que los nombra \
(stock, precios, equivalencias, insumos, comprobantes, estadísticas), una transacción por código, con su \
testigo y su lista para deshacer. SQL Server por ODBC o la base embebida de demostración.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# The libraries the programs link (Qt 6 widgets, SQLite, unixODBC), found by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "tdsodbc, libqt6svg6, qt6-translations-l10n, fonts-liberation2")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xdg-user-dirs")
include(CPack)
