# Cross build for 64-bit ARM Linux (a Raspberry Pi running Debian) with
# Debian's cross compiler (g++-aarch64-linux-gnu). The arm64 libraries come
# from Debian's multiarch packages (libusb-1.0-0-dev:arm64), found in
# /usr/lib/aarch64-linux-gnu as Debian's own cross builds find them: no
# sysroot. The programs built run here under qemu-user.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)

# pkg-config reads the arm64 libraries' files only, never the host's.
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/aarch64-linux-gnu/pkgconfig:/usr/share/pkgconfig)

# CTest, the tests' discovery and the tests that start our programs from a
# shell run them through this: qemu-user running the cross toolchain's
# loader, which loads the program with the arm64 C++ library. Not with
# `-L /usr/aarch64-linux-gnu`: Debian 12's qemu-user (7.2) leaves the child
# of every fork spinning forever when the loader was found through -L, and
# the tests fork (death tests, files read as another user).
set(CMAKE_CROSSCOMPILING_EMULATOR
    qemu-aarch64-static /usr/aarch64-linux-gnu/lib/ld-linux-aarch64.so.1
    --library-path /usr/aarch64-linux-gnu/lib:/usr/lib/aarch64-linux-gnu)
