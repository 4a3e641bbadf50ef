# Packages of the installed program. Linux: `cpack -G DEB` in the build
# folder gives k80x_<version>_<arch>.deb. Windows: `cpack -G NSIS` (or WIX)
# gives an installer of the folder `cmake --install` fills.

set(CPACK_PACKAGE_NAME ${K80X_PROGRAM_NAME})
set(CPACK_PACKAGE_VENDOR "K80x Configurator")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "Configurator for K801/K802/K803 GSM temperature/humidity data loggers")
set(CPACK_PACKAGE_DESCRIPTION
  "Logs in to a K801, K802 or K803 data logger over a serial port, reads and writes its whole \
configuration, shows live values, switches relays, sets the clock, downloads the history log to CSV \
files and keeps configuration profiles, in Simplified Chinese or English.")
set(K80X_PACKAGE_CONTACT "K80x Configurator maintainers <k80x@example.invalid>"
  CACHE STRING "Maintainer named in the packages")
set(CPACK_PACKAGE_CONTACT ${K80X_PACKAGE_CONTACT})
set(CPACK_PACKAGE_INSTALL_DIRECTORY "K80x Configurator")
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL k80x)
set(CPACK_DEB_COMPONENT_INSTALL OFF)

# ---- Debian ----------------------------------------------------------------
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The Debian packages of the Qt modules the program links, at least the Qt
# it was built with; qt6-qpa-plugins holds the X11/Wayland platform plugins
# without which no window opens.
string(REGEX MATCH "^[0-9]+\\.[0-9]+" k80x_qt_minor "${Qt6_VERSION}")
set(k80x_deb_depends)
foreach(module Core Gui Widgets SerialPort Network Sql Charts PrintSupport Multimedia Core5Compat)
  if(TARGET Qt6::${module})
    string(TOLOWER ${module} module_lower)
    list(APPEND k80x_deb_depends "libqt6${module_lower}6 (>= ${k80x_qt_minor})")
  endif()
endforeach()
list(APPEND k80x_deb_depends "qt6-qpa-plugins (>= ${k80x_qt_minor})")
# The history archive's SQLite driver is a plugin package of its own.
list(APPEND k80x_deb_depends "libqt6sql6-sqlite (>= ${k80x_qt_minor})")
# Declared here rather than found by dpkg-shlibdeps, so the package is the
# same whether or not dpkg-dev is installed on the building machine.
list(APPEND k80x_deb_depends "libc6" "libstdc++6" "libgcc-s1")
list(JOIN k80x_deb_depends ", " CPACK_DEBIAN_PACKAGE_DEPENDS)

# ---- Windows ---------------------------------------------------------------
set(k80x_ico ${PROJECT_BINARY_DIR}/packaging/icons/k80x.ico)
set(CPACK_NSIS_MUI_ICON ${k80x_ico})
set(CPACK_NSIS_MUI_UNIICON ${k80x_ico})
set(CPACK_NSIS_INSTALLED_ICON_NAME k80x.exe)
set(CPACK_NSIS_DISPLAY_NAME "K801/2/3 Data Logger Configurator")
set(CPACK_NSIS_PACKAGE_NAME "K801/2/3 Data Logger Configurator")
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# A Start menu entry for the program.
set(CPACK_PACKAGE_EXECUTABLES k80x "K801/2/3 Data Logger Configurator")
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
# WiX: a fixed upgrade code, so a newer installer replaces an older one.
set(CPACK_WIX_UPGRADE_GUID 6A0F8E52-3C1B-4C47-9B8E-2F1D5C7A9E31)
set(CPACK_WIX_PRODUCT_ICON ${k80x_ico})
set(CPACK_WIX_PROGRAM_MENU_FOLDER "K80x Configurator")

include(CPack)
