#!/usr/bin/env bash
# Builds Tessra, makes the Debian package tessra_<version>_<arch>.deb in
# build/package/ and installs it with apt, which brings the packages it depends
# on. With --no-install it only builds the package. Other arguments go to CMake.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TESSRA_BUILD_DIR:-$root/build}
install=1
cmake_arguments=()
for argument in "$@"; do
  if [ "$argument" = "--no-install" ]; then
    install=0
  else
    cmake_arguments+=("$argument")
  fi
done

TESSRA_BUILD_DIR=$build bash "$root/scripts/build.sh" -DTESSRA_TESTS=OFF -DTESSRA_BENCHMARKS=OFF \
  "${cmake_arguments[@]}"
(cd "$build" && cpack -G DEB >/dev/null)
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
package="$build/package/tessra_${version}_$(dpkg --print-architecture).deb"
echo "Built $package"
if [ "$install" = 0 ]; then
  exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
# --reinstall: a package rebuilt at the same version replaces the installed one.
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --reinstall "$package"
echo "Tessra is installed: start it from the menu, or run tessra in /usr/share/tessra/models/life."
