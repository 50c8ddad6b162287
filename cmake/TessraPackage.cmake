# The Debian package: `cpack -G DEB` in a build folder writes
# tessra_<version>_<arch>.deb with everything `cmake --install` puts under /usr.
# Its run-time dependencies are computed from the binaries by dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME tessra)
set(CPACK_PACKAGE_VENDOR "The Tessra developers")
set(CPACK_PACKAGE_CONTACT "The Tessra developers <maintainers@tessra.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "front end for two-dimensional simulation models")
set(CPACK_PACKAGE_DESCRIPTION
  "Tessra runs cellular automata and grid agent models, each a plug-in library,\n"
  "shows the world in the model's colours, records, plots and exports statistics\n"
  "over all sites, stops runs on conditions and is driven from scripts over D-Bus.\n"
  "tessra-run runs models without a screen, alone or as parameter sweeps. The\n"
  "Life, Gray-Scott and forest-fire models and the model SDK come with it.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://tessra.org")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR DEB)
# The files name the prefix they are installed under (the desktop entry, the
# D-Bus service file): install with the package's prefix, into a staging root.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Only the package: leave the build folder's test and benchmark files alone.
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libTessraAPI.so.1 comes with the package itself.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/lib)
# Not seen in the binaries: xdg-open shows the help pages, ffmpeg encodes movies,
# python3-dbus runs the example scripts, GNU parallel and Slurm run sweeps.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, ffmpeg")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "python3-dbus, parallel, slurm-client")
include(CPack)
