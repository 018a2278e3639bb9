#!/usr/bin/env bash
# Builds the program and starts it on the adapters this machine has: parallel
# ports, CH341A programmers (USB 1a86:5512) and the kernel's I2C buses. Where
# there is none of them it starts with the simulated adapter: a 24C16 on LPT1
# whose contents are kept in a file, so the virtual chip remembers what was
# programmed into it. A PC's own SMBus and a graphics card's display buses
# carry the machine's own EEPROMs, not the user's: they do not count.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
need_packages "${BUILD_PACKAGES[@]}"

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DZORBIX_BUILD_TESTS=OFF -DZORBIX_BUILD_BENCH=OFF
cmake --build build -j2 --target zorbix32

# The CH341As by their USB vendor and product, as sysfs lists them.
ch341a_found() {
  local d
  for d in /sys/bus/usb/devices/*; do
    [ -r "$d/idVendor" ] && [ -r "$d/idProduct" ] || continue
    if [ "$(cat "$d/idVendor")" = 1a86 ] && [ "$(cat "$d/idProduct")" = 5512 ]; then
      echo "  CH341A (USB ${d##*/})"
    fi
  done
}

# The I2C buses a user wires chips to: not a PC's SMBus (its name, or its
# controller's PCI class 0x0c05), not a display bus (the graphics drivers'
# names, or a PCI display controller).
ordinary_i2c_found() {
  local d name class
  for d in /sys/class/i2c-dev/i2c-*; do
    [ -r "$d/name" ] || continue
    name=$(cat "$d/name")
    class=$(cat "$(readlink -f "/sys/bus/i2c/devices/${d##*/}")/../class" 2>/dev/null || true)
    case "$class" in 0x0c05* | 0x03*) continue ;; esac
    case "$name" in SMBus* | *i915* | *gmbus* | *DPDDC* | "AUX "* | *AMDGPU* | *nvkm* | *nouveau* | *Radeon*) continue ;; esac
    echo "  ${d##*/} ($name)"
  done
}

parallel=$(compgen -G "/dev/parport*" || true)
ch341a=$(ch341a_found)
i2c=$(ordinary_i2c_found)
if [ -z "${ZORBIX_SIMULATION:-}" ]; then
  if [ -n "$parallel" ] || [ -n "$ch341a" ] || [ -n "$i2c" ]; then
    echo "Adaptateurs trouvés :"
    [ -z "$parallel" ] || echo "$parallel" | sed 's/^/  /'
    [ -z "$ch341a" ] || echo "$ch341a"
    [ -z "$i2c" ] || echo "$i2c"
  else
    data="${XDG_DATA_HOME:-$HOME/.local/share}/zorbix32"
    mkdir -p "$data"
    export ZORBIX_SIMULATION="LPT1:24C16=$data/puce-simulee.bin"
    echo "Ni port parallèle, ni CH341A, ni bus I2C sur cette machine : adaptateur simulé," \
      "ZORBIX_SIMULATION=$ZORBIX_SIMULATION"
  fi
fi
exec build/shell/zorbix32 "$@"
