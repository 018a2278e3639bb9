// libFuzzer target for the reading of the ZORBIX_SIMULATION value
// (engine/sim/simulation_config.h). Each input is a value, cut at its first
// 0x00 as an environment value is. It must give either a backend with one
// adapter per entry and no message, or no backend and a message that says
// what is wrong; and setting up must write nothing. The run takes place in a
// folder of its own holding one chip file and one sub-folder; values naming a
// path with '/' are passed over, so that no file outside it (a device, a
// pipe) is ever opened.
// Built and run by scripts/fuzz_files.sh.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>

#include "engine/sim/simulation_config.h"
#include "tests/fuzz_support.h"

namespace {

// Each file of the current folder with its size and time of change.
std::set<std::string> EtatDuDossier() {
  std::set<std::string> etat;
  DIR* d = opendir(".");
  Verifier(d != nullptr, "opendir");
  while (const dirent* e = readdir(d)) {
    if (std::string(e->d_name) == "..") continue;  // others write there
    struct stat st {};
    if (stat(e->d_name, &st) == 0)
      etat.insert(std::string(e->d_name) + " " + std::to_string(st.st_size) + " " +
                  std::to_string(st.st_mtim.tv_sec) + "." + std::to_string(st.st_mtim.tv_nsec));
  }
  closedir(d);
  return etat;
}

char Dossier[] = "/tmp/zorbix-fuzz-simulation-XXXXXX";

void EffacerDossier() {
  if (chdir("/") != 0) return;
  const std::string d = Dossier;
  std::remove((d + "/puce.bin").c_str());
  rmdir((d + "/dossier").c_str());
  rmdir(Dossier);
}

// Enters a new folder with a 24C02-sized chip file "puce.bin" and a
// sub-folder "dossier", removed at exit.
void PreparerDossier() {
  Verifier(mkdtemp(Dossier) != nullptr && chdir(Dossier) == 0, "temporary folder");
  std::atexit(EffacerDossier);
  std::ofstream("puce.bin", std::ios::binary) << std::string(256, '\x42');
  Verifier(mkdir("dossier", 0700) == 0, "sub-folder");
}

// The entries of the value: its pieces between ';' that are not blank.
std::size_t NombreEntrees(const std::string& valeur) {
  std::size_t n = 0;
  bool blanc = true;
  for (char c : valeur + ';') {
    if (c == ';') {
      n += blanc ? 0 : 1;
      blanc = true;
    } else if (!std::isspace(static_cast<unsigned char>(c))) {
      blanc = false;
    }
  }
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::set<std::string> avant = (PreparerDossier(), EtatDuDossier());
  std::string valeur(reinterpret_cast<const char*>(data), size);
  valeur = valeur.substr(0, valeur.find('\0'));
  if (valeur.find('/') != std::string::npos) return 0;

  std::string erreur;
  const std::unique_ptr<zorbix::SimulatedBackend> sim = zorbix::CreerSimulation(valeur, erreur);
  if (sim) {
    Verifier(erreur.empty(), "a message with a set-up");
    Verifier(sim->describe().size() == NombreEntrees(valeur), "not one adapter per entry");
  } else {
    const std::string prefixe = "ZORBIX_SIMULATION : ";
    Verifier(erreur.size() > prefixe.size() && erreur.compare(0, prefixe.size(), prefixe) == 0,
             "no set-up and no message");
  }
  Verifier(EtatDuDossier() == avant, "setting up changed a file");
  return 0;
}
