// A fake /proc + /dev tree in a temporary directory, laid out as the kernel's
// parport driver and udev lay out the real ones, for the ppdev look-up.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace zorbix::test {

class FakeParportTree {
 public:
  FakeParportTree() {
    char modele[] = "/tmp/zorbix_parport_XXXXXX";
    racine_ = mkdtemp(modele);
    std::filesystem::create_directories(racine_ / "dev");
    std::filesystem::create_directories(dossierParport() / "default");
  }
  ~FakeParportTree() { std::filesystem::remove_all(racine_); }
  FakeParportTree(const FakeParportTree&) = delete;
  FakeParportTree& operator=(const FakeParportTree&) = delete;

  std::string proc() const { return (racine_ / "proc").string(); }
  std::string dev() const { return (racine_ / "dev").string(); }

  // parportN's directory, with a base-addr file holding `baseAddr` unless none.
  void ajouterParport(int n, std::optional<std::string> baseAddr) {
    const auto dossier = dossierParport() / ("parport" + std::to_string(n));
    std::filesystem::create_directories(dossier);
    if (baseAddr) std::ofstream(dossier / "base-addr") << *baseAddr;
  }

  // What the kernel names as the device holding parportN ("none" when free).
  void definirActif(int n, const std::string& peripherique) {
    std::filesystem::create_directories(dossierParport() / ("parport" + std::to_string(n)) / "devices");
    std::ofstream(dossierParport() / ("parport" + std::to_string(n)) / "devices" / "active") << peripherique << '\n';
  }

  // No parport driver loaded: the kernel's parport folder is gone.
  void retirerPilote() { std::filesystem::remove_all(dossierParport()); }

  // /dev/parportN as a plain file: it opens, but no ppdev ioctl works on it.
  void ajouterNoeud(int n) { std::ofstream(racine_ / "dev" / ("parport" + std::to_string(n))); }

 private:
  std::filesystem::path dossierParport() const { return racine_ / "proc" / "sys" / "dev" / "parport"; }

  std::filesystem::path racine_;
};

}  // namespace zorbix::test
