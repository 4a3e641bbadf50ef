# Where `cmake --install` puts the program. Linux: executables in bin, data
# under share/k80x, the desktop entry, icons and AppStream metadata where the
# desktop looks for them. Windows: the executables and their data side by
# side in the installation folder, as windeployqt expects.
include(GNUInstallDirs)

set(K80X_PROGRAM_NAME k80x)
# The desktop entry and AppStream id (reverse domain name).
set(K80X_APP_ID io.github.k80x.Configurator)
# The date of the release PROJECT_VERSION names (AppStream metadata).
set(K80X_RELEASE_DATE 2026-12-10)

if(WIN32)
  set(K80X_INSTALL_BINDIR .)
  set(K80X_INSTALL_DATADIR .)
else()
  set(K80X_INSTALL_BINDIR ${CMAKE_INSTALL_BINDIR})
  set(K80X_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/${K80X_PROGRAM_NAME})
endif()

# The data folder seen from the executable's folder ("../share/k80x"), built
# into the program so that an installed tree can be moved as a whole.
file(RELATIVE_PATH K80X_DATA_FROM_BIN
  /prefix/${K80X_INSTALL_BINDIR} /prefix/${K80X_INSTALL_DATADIR})
if(K80X_DATA_FROM_BIN STREQUAL "")
  set(K80X_DATA_FROM_BIN .)
endif()

# The programs `cmake --install` installs; a target added here (for example
# a command-line tool) is installed and packaged with the rest.
function(k80x_install_program target)
  install(TARGETS ${target} RUNTIME DESTINATION ${K80X_INSTALL_BINDIR} COMPONENT k80x)
  set_property(GLOBAL APPEND PROPERTY K80X_INSTALLED_PROGRAMS ${target})
endfunction()
