# `make package`: one Debian package with both programs, built by CPack from a build
# configured for the prefix /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VENDOR "velmora maintainers")
set(CPACK_PACKAGE_CONTACT "velmora maintainers <maintainers@velmora.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "router trap receiver (velmora) and log analyzer (corvix)")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "velmora receives a cable/DSL router's trap datagrams on UDP port 162 and writes them "
    "to daily logs, in a window with a tray icon or as a system service. corvix lists the "
    "inbound connections of those logs with port descriptions and source host names.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://velmora.invalid/")
# Library dependencies are read from the programs; the windowing plugins are loaded at run
# time, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# corvix names the country of a source from the offline database when it is installed.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libcap2-bin, geoip-database")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "snmp")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA "${CMAKE_CURRENT_SOURCE_DIR}/debian/conffiles"
    "${CMAKE_CURRENT_SOURCE_DIR}/debian/postinst" "${CMAKE_CURRENT_SOURCE_DIR}/debian/postrm")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
