#!/bin/bash
# Builds for 64-bit ARM (a Raspberry Pi running Debian) everything that needs
# no Qt: the engine with its backends and simulator, the CH341A and I2C
# adapters, the file layers and the command line, with Debian's cross
# compiler; then runs their tests (engine_tests, files_tests, cli_tests, the
# CH341A tests) under qemu-user. Tests that need a real kernel (QEMU) or a
# display are not built. Takes minutes; not part of the test command. Adds
# the arm64 architecture to dpkg (needs root) for libusb's arm64 package.
#
# GoogleTest is built for arm64 from the sources Debian's googletest package
# puts in /usr/src/googletest: the native tests install them already, they
# are the very version the native tests use, and nothing arm64 has to be
# downloaded for them.
#
# Usage: bash scripts/cross_build_arm64.sh [build folder, build-arm64 by default]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
debut=$SECONDS

if ! dpkg --print-foreign-architectures | grep -qx arm64; then
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  ${sudo:-} dpkg --add-architecture arm64
fi
need_packages "${CROSS_PACKAGES[@]}"

dossier=$PWD/${1:-build-arm64}
chaine=$PWD/scripts/aarch64-linux-gnu.cmake
gtest=$dossier/googletest

echo "--- GoogleTest pour arm64"
cmake -S /usr/src/googletest -B "$dossier/googletest-build" -DCMAKE_TOOLCHAIN_FILE="$chaine" \
  -DCMAKE_BUILD_TYPE=Release -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON -DCMAKE_INSTALL_PREFIX="$gtest"
cmake --build "$dossier/googletest-build" -j2
cmake --install "$dossier/googletest-build" > /dev/null

echo "--- zorbix32 sans Qt pour arm64"
cmake -S . -B "$dossier" -DCMAKE_TOOLCHAIN_FILE="$chaine" -DCMAKE_BUILD_TYPE=Release \
  -DZORBIX_BUILD_GUI=OFF -DZORBIX_BUILD_BENCH=OFF -DCMAKE_PREFIX_PATH="$gtest"
cmake --build "$dossier" -j2

# The programs are arm64 ones, and no port instruction came into them.
aarch64-linux-gnu-readelf -h "$dossier/cli/zorbix32-cli" | grep -q 'Machine: *AArch64'
if aarch64-linux-gnu-nm "$dossier/engine/backends/libzorbix_backends.a" | grep -qw ioperm; then
  echo "L'accès direct (ioperm) a été compilé pour arm64." >&2
  exit 1
fi

echo "--- les tests sous qemu-aarch64"
ctest --test-dir "$dossier" -j2 --output-on-failure --timeout 300
echo "Construction croisée arm64 et tests sous qemu-aarch64 réussis en $((SECONDS - debut)) s."
