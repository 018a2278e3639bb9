// What the libFuzzer targets share: a property check that stops the run with
// the property's name (libFuzzer then keeps the input), and a file in memory
// to hand a reader by its name.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

inline void Verifier(bool condition, const char* quoi) {
  if (condition) return;
  std::fprintf(stderr, "propriété fausse : %s\n", quoi);
  std::abort();
}

// A file in memory with a name that open(), stat() and fopen() accept,
// rewritten per input.
struct FichierEnMemoire {
  int fd = memfd_create("zorbix-fuzz", 0);
  std::string nom = "/proc/self/fd/" + std::to_string(fd);

  void Remplir(const std::uint8_t* data, std::size_t size) {
    Verifier(fd >= 0 && ftruncate(fd, 0) == 0, "memfd");
    std::size_t fait = 0;
    while (fait < size) {
      const ssize_t n = pwrite(fd, data + fait, size - fait, static_cast<off_t>(fait));
      Verifier(n > 0, "memfd write");
      fait += static_cast<std::size_t>(n);
    }
  }
};
