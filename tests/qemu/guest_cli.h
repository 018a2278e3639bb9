// The real zorbix32-cli, copied to /zorbix32-cli in the guest's initramfs
// with its libraries, run by the guest programs as a user would run it: its
// arguments, its exit code, and what it wrote on both outputs. The files it
// reads and writes live in /tmp.
#pragma once

#include <sys/wait.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace zorbix {

struct SortieCli {
  int code = -1;  // the exit code; -1 when it did not exit normally
  std::string texte;  // standard output and standard error, mixed
  bool contient(const std::string& morceau) const { return texte.find(morceau) != std::string::npos; }
};

// Runs "/zorbix32-cli ARGUMENTS" through the guest's shell (busybox sh);
// the arguments are ours, without quotes to escape.
inline SortieCli LancerCli(const std::string& arguments) {
  std::fflush(stdout);
  SortieCli sortie;
  FILE* tube = ::popen(("/zorbix32-cli " + arguments + " 2>&1").c_str(), "r");
  if (!tube) return sortie;
  char morceau[512];
  for (std::size_t n; (n = std::fread(morceau, 1, sizeof morceau, tube)) > 0;) sortie.texte.append(morceau, n);
  const int etat = ::pclose(tube);
  if (etat != -1 && WIFEXITED(etat)) sortie.code = WEXITSTATUS(etat);
  return sortie;
}

// "exit 1: <first line of the output>" for a check's detail.
inline std::string Resume(const SortieCli& s) {
  return "exit " + std::to_string(s.code) + ": " + s.texte.substr(0, s.texte.find('\n'));
}

inline bool EcrireFichier(const std::string& chemin, const std::vector<std::uint8_t>& octets) {
  std::ofstream f(chemin, std::ios::binary);
  f.write(reinterpret_cast<const char*>(octets.data()), static_cast<std::streamsize>(octets.size()));
  return static_cast<bool>(f);
}

inline std::vector<std::uint8_t> LireFichier(const std::string& chemin) {
  std::ifstream f(chemin, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

// Every line of `message` is somewhere in the output (the command line may
// frame a multi-line message differently).
inline bool ContientLesLignes(const SortieCli& s, const std::string& message) {
  std::size_t debut = 0;
  while (debut <= message.size()) {
    const std::size_t fin = std::min(message.find('\n', debut), message.size());
    const std::string ligne = message.substr(debut, fin - debut);
    if (!ligne.empty() && !s.contient(ligne)) return false;
    debut = fin + 1;
  }
  return true;
}

}  // namespace zorbix
