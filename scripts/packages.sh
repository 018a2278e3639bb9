# Sourced by run.sh and test.sh: installs the Debian packages that are missing.
# Usage: need_packages pkg...

need_packages() {
  local missing=()
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installation des paquets manquants : ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

# What building the program needs.
BUILD_PACKAGES=(g++ make cmake qt6-base-dev qt6-svg-dev qt6-translations-l10n fonts-liberation)
BUILD_PACKAGES+=(libusb-1.0-0-dev pkg-config)  # the CH341A USB programmer
# What the tests and benchmarks need on top.
TEST_PACKAGES=(libgtest-dev libgmock-dev libbenchmark-dev srecord clang libclang-rt-14-dev desktop-file-utils)
# How a desktop names a file's type, for the desktop entry's test: xdg-mime,
# and gio, which it asks under GNOME.
TEST_PACKAGES+=(xdg-utils libglib2.0-bin)
# The desktop tests: a real X server, a window manager, tools that drive them
# (x11-utils: xprop, xwininfo), and sigrok to decode the bus traces.
TEST_PACKAGES+=(xvfb openbox xdotool xclip x11-utils sigrok-cli)
TEST_PACKAGES+=(dbus at-spi2-core python3-pyatspi)  # what a screen reader sees, through AT-SPI
# What the parallel-port test in an emulated PC needs: the emulator and a
# shell for the guest's init. The guest's kernel is downloaded by the test
# itself as a package file and unpacked in the build folder, never installed.
QEMU_PACKAGES=(qemu-system-x86 busybox-static cpio)
# What building the Debian package and installing it in a bare Debian root
# (scripts/test_debian_package.sh) need, with lintian to check them.
PACKAGE_PACKAGES=(dpkg-dev debootstrap lintian)
# What the arm64 cross build and its tests under qemu-user
# (scripts/cross_build_arm64.sh) need: the cross compiler, the emulator,
# GoogleTest's sources (built there for arm64) and libusb for arm64, which
# needs the arm64 architecture added to dpkg first.
CROSS_PACKAGES=(g++-aarch64-linux-gnu qemu-user-static googletest cmake make pkg-config libusb-1.0-0-dev:arm64)
