// A folder of its own where zorbix32-cli runs as a script runs it: a whole
// process, judged by its exit code, its messages and the files it leaves,
// the simulated chip's file among them. ZORBIX_CLI names the program.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "tests/files/temp_dir.h"

namespace zorbix::test {

struct Resultat {
  int code;
  std::string sortie;
  std::string erreurs;
};

class DossierCli : public RepertoireTemporaire {
 public:
  explicit DossierCli(const std::string& prefixe) : RepertoireTemporaire(prefixe) { unsetenv("ZORBIX_SIM_TRACE"); }
  ~DossierCli() {
    unsetenv("ZORBIX_SIMULATION");
    unsetenv("ZORBIX_SIM_TRACE");
  }

  // A simulated chip on LPT1 (or an empty socket, "empty") whose contents
  // live in the file "puce.bin", written first when `contenu` is given.
  void Puce(const std::string& type, const std::string& contenu = "") const {
    if (!contenu.empty()) Ecrire("puce.bin", contenu);
    setenv("ZORBIX_SIMULATION", ("LPT1:" + type + "=" + Chemin("puce.bin")).c_str(), 1);
  }

  // One run in the folder. A run that hangs (on a FIFO, say) fails by its
  // time limit, with code 124.
  Resultat Lancer(const std::string& arguments, const std::string& entree = "/dev/null",
                  const std::string& sortie = "sortie.txt") const {
    const std::string commande = "cd '" + Racine() + "' && timeout 60 '" ZORBIX_CLI "' " + arguments +
                                 " >" + sortie + " 2>erreurs.txt <" + entree;
    const int statut = std::system(commande.c_str());
    return {WIFEXITED(statut) ? WEXITSTATUS(statut) : -1, Lire("sortie.txt"), Lire("erreurs.txt")};
  }
};

}  // namespace zorbix::test
