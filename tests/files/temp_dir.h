// A private directory for one test, removed with everything in it.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace zorbix {

class RepertoireTemporaire {
 public:
  explicit RepertoireTemporaire(const std::string& prefixe = "zorbix-files") {
    std::string modele = ::testing::TempDir() + prefixe + "-XXXXXX";
    if (::mkdtemp(modele.data())) chemin_ = modele;
    EXPECT_FALSE(chemin_.empty()) << "mkdtemp failed";
  }
  ~RepertoireTemporaire() {
    std::error_code ignore;
    std::filesystem::remove_all(chemin_, ignore);
  }

  std::string Chemin(const std::string& nom) const { return chemin_ + "/" + nom; }
  const std::string& Racine() const { return chemin_; }

  std::string Ecrire(const std::string& nom, const std::string& contenu) const {
    std::ofstream(Chemin(nom), std::ios::binary) << contenu;
    return Chemin(nom);
  }

  std::string Lire(const std::string& nom) const {
    std::ifstream f(Chemin(nom), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
  }

  // The names in the directory, to see that no temporary file was left.
  std::vector<std::string> Noms() const {
    std::vector<std::string> noms;
    for (const auto& e : std::filesystem::directory_iterator(chemin_))
      noms.push_back(e.path().filename().string());
    return noms;
  }

 private:
  std::string chemin_;
};

// Bytes that change from one address to the next and from one seed to the
// next, so a byte stored at the wrong place shows.
inline std::vector<std::uint8_t> Motif(std::size_t taille, unsigned graine) {
  std::vector<std::uint8_t> octets(taille);
  std::uint32_t x = graine * 2654435761u + 1;
  for (auto& o : octets) {
    x = x * 1664525u + 1013904223u;
    o = static_cast<std::uint8_t>(x >> 24);
  }
  return octets;
}

inline std::string EnTexte(const std::vector<std::uint8_t>& octets) {
  return std::string(octets.begin(), octets.end());
}

}  // namespace zorbix
