// The checks of a program that runs inside the emulated PC: one line per
// check ("ok - ..." or "FAILED - ... (why)"), and "N passed, N failed" last,
// which the script that boots the guest looks for; and the little the guest
// programs share besides: a clock, a command's output, random contents.
#pragma once

#include <time.h>

#include <cstdint>
#include <cstdio>
#include <iostream>
#include <string>

#include "tests/random_bytes.h"

namespace zorbix {

class BilanInvite {
 public:
  void verifier(bool reussi, const std::string& quoi, const std::string& detail = "") {
    (reussi ? reussis_ : echecs_)++;
    std::cout << (reussi ? "ok - " : "FAILED - ") << quoi;
    if (!reussi && !detail.empty()) std::cout << " (" << detail << ")";
    std::cout << std::endl;
  }
  int echecs() const { return echecs_; }
  void resumer() const { std::cout << reussis_ << " passed, " << echecs_ << " failed" << std::endl; }

 private:
  int reussis_ = 0;
  int echecs_ = 0;
};

// Monotonic time in microseconds.
inline std::uint64_t Microsecondes() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<std::uint64_t>(t.tv_sec) * 1000000u + static_cast<std::uint64_t>(t.tv_nsec) / 1000u;
}

// What a shell command writes on its standard output.
inline std::string Sortie(const std::string& commande) {
  std::string texte;
  if (FILE* f = popen(commande.c_str(), "r")) {
    char ligne[512];
    while (std::fgets(ligne, sizeof ligne, f)) texte += ligne;
    pclose(f);
  }
  return texte;
}

using test::Aleatoires;

}  // namespace zorbix
