// File permissions as an ordinary user meets them, even when the tests run
// as root (who reads a mode-000 file and writes into a read-only folder).
#pragma once

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

namespace zorbix::test {

// Runs `essai` in a child process and returns what it returned. When this
// process is root, `racine` and everything in it are given to the user
// nobody and the child becomes that user first. The child tells its
// failures on standard error.
inline bool CommeUtilisateurOrdinaire(const std::string& racine, const std::function<bool()>& essai) {
  constexpr uid_t Personne = 65534;
  const bool root = ::geteuid() == 0;
  if (root) {
    if (::lchown(racine.c_str(), Personne, Personne) != 0) return false;
    for (const auto& e : std::filesystem::recursive_directory_iterator(racine))
      if (::lchown(e.path().c_str(), Personne, Personne) != 0) return false;
  }
  const pid_t enfant = ::fork();
  if (enfant == 0) {
    if (root && (::setgroups(0, nullptr) != 0 || ::setgid(Personne) != 0 || ::setuid(Personne) != 0)) ::_exit(2);
    ::_exit(essai() ? 0 : 1);
  }
  int statut = 0;
  return enfant > 0 && ::waitpid(enfant, &statut, 0) == enfant && WIFEXITED(statut) && WEXITSTATUS(statut) == 0;
}

}  // namespace zorbix::test
