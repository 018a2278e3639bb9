#include "cli/image_file.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "files/binary_file.h"
#include "files/intel_hex.h"

namespace zorbix {
namespace {

std::string Adresse(std::size_t a) {
  char texte[24];
  std::snprintf(texte, sizeof texte, "$%04zX", a);
  return texte;
}

// Loads the file into `image`; returns the file's extent, or refuses with
// the reason in `resultat.Message` and returns 0.
std::size_t LireFichier(const std::string& nom, bool hexa, ImageChargee& resultat) {
  if (hexa) {
    const ResultatLectureHexa r = LireFichierHexa(nom, resultat.Octets.data(), TailleImage);
    if (r.Code != CodeHexa::Succes) {
      resultat.Message = r.Message;
      if (r.Code != CodeHexa::FichierIntrouvable)
        resultat.Message += " (code " + std::to_string(static_cast<int>(r.Code)) + ")";
      return 0;
    }
    return r.Etendue;  // a HEX file need not be contiguous: one past its highest address
  }
  std::error_code erreur;
  const std::uintmax_t taille = std::filesystem::file_size(nom, erreur);
  if (erreur) {
    resultat.Message = "Fichier illisible : " + nom;
    return 0;
  }
  if (taille > TailleImage) return static_cast<std::size_t>(taille);  // refused by size, nothing read
  return ChargerFichierBinaire(nom, resultat.Octets.data(), TailleImage);
}

}  // namespace

ImageChargee ChargerImage(const std::string& nom, bool hexa, int chipSize) {
  ImageChargee resultat;
  const std::size_t etendue = LireFichier(nom, hexa, resultat);
  resultat.Etendue = etendue;
  const auto taille = static_cast<std::size_t>(chipSize);
  if (!resultat.Message.empty()) return resultat;
  if (etendue == 0) {
    resultat.Message = MessageFichierVide;
    return resultat;
  }
  if (etendue > taille) {
    resultat.Message = "Fichier trop grand : " + std::to_string(etendue) + " octets pour une mémoire de " +
                       std::to_string(taille) + " octets ; rien n'est écrit dans la mémoire.";
    return resultat;
  }
  resultat.Acceptee = true;
  if (etendue < taille)
    resultat.Message = "Fichier de " + std::to_string(etendue) + " octets pour une mémoire de " +
                       std::to_string(taille) + " octets : les adresses " + Adresse(etendue) + " à " +
                       Adresse(taille - 1) + " valent $FF.";
  return resultat;
}

bool SauverImage(const std::string& nom, bool hexa, const std::uint8_t* octets, int chipSize) {
  const auto taille = static_cast<std::size_t>(chipSize);
  if (hexa) return EcrireFichierHexa(taille, OctetsParEnregistrement, nom, octets);
  return SauverFichierBinaire(nom, octets, taille);
}

}  // namespace zorbix
