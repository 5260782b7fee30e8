#!/usr/bin/env bash
# Builds the Debian package build-deb/orbitlist_<version>-1_<arch>.deb: a
# release build with Debian's hardening flags, installed under /usr and packed
# by CPack, its dependencies found by dpkg-shlibdeps. Installs what is missing
# (Debian 12, as root) as tools/build.sh does.
#   tools/make_deb.sh          build the package
#   tools/make_deb.sh lint     and run lintian on it
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-serialport-dev libgl-dev liblzo2-dev dpkg-dev file)
[ "${1:-}" = lint ] && packages+=(lintian)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    if [ "$(id -u)" -ne 0 ]; then sudo=sudo; else sudo=; fi
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The flags Debian builds its packages with, all hardening on (fortified,
# position independent, relocations read-only and bound at start).
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
export CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
export LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
cmake -S . -B build-deb -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DORBITLIST_TESTS=OFF -DORBITLIST_BENCH=OFF
cmake --build build-deb -j "$(nproc 2>/dev/null || echo 2)"
rm -f build-deb/orbitlist_*.deb
(cd build-deb && cpack -G DEB)
deb=$(ls build-deb/orbitlist_*.deb)
echo "Package: $deb"
if [ "${1:-}" = lint ]; then
    lintian --info "$deb"
fi
