#include "cli/image_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "cli/cli_texts.h"
#include "fileio/file_errors.h"
#include "fileio/posix_file.h"
#include "fileio/safe_save.h"
#include "files/binary_file.h"
#include "files/intel_hex.h"

namespace zorbix {
namespace {

std::string Illisible(const std::string& nom, int erreur) {
  return "Fichier illisible : " + nom + " (" + TexteErreurFichier(erreur) + ")";
}

std::string TropGrand(const std::string& etendue, std::size_t taille) {
  return "Fichier trop grand : " + etendue + " octets pour une mémoire de " + std::to_string(taille) +
         " octets ; rien n'est écrit dans la mémoire.";
}

// The reader's message, its code, and where: the window shows the message
// alone, with its own spelling; a script's user needs the line to mend.
std::string ErreurHexa(const ResultatLectureHexa& r) {
  const std::string message = MessageHexa(r.Code);  // worded for the command line as it is written
  std::string ligne;
  for (const char c : r.Enregistrement) ligne += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? '?' : c;
  return message + " (code " + std::to_string(static_cast<int>(r.Code)) + "), ligne " + std::to_string(r.Ligne) +
         " : « " + ligne + " »";
}

// Each returns the extent of the data read into `resultat.Octets`, or 0
// with the refusal in `resultat.Message`.
std::size_t LireHexa(int fd, const std::string& nom, ImageChargee& resultat) {
  const ResultatLectureHexa r = LireHexaDepuis(fd, resultat.Octets.data(), TailleImage);
  if (r.Code == CodeHexa::Succes) return r.Etendue;  // not contiguous: one past its highest address
  resultat.Message = r.Code == CodeHexa::FichierIntrouvable ? Illisible(nom, r.Erreur) : ErreurHexa(r);
  return 0;
}

std::size_t LireBinaire(int fd, const std::string& nom, std::size_t taille, ImageChargee& resultat) {
  struct stat etat;
  if (::fstat(fd, &etat) == 0 && S_ISREG(etat.st_mode) && static_cast<std::uintmax_t>(etat.st_size) > TailleImage)
    return static_cast<std::size_t>(etat.st_size);  // refused by its size, nothing read
  // Standard input tells no size: one byte more than the image holds shows
  // that it is too large.
  std::vector<std::uint8_t> lu(TailleImage + 1);
  std::size_t n = 0;
  if (!LireJusqua(fd, lu.data(), lu.size(), n)) {
    resultat.Message = Illisible(nom, errno);
    return 0;
  }
  if (n > TailleImage) {
    resultat.Message = TropGrand("plus de " + std::to_string(TailleImage), taille);
    return 0;
  }
  std::copy(lu.begin(), lu.begin() + static_cast<std::ptrdiff_t>(n), resultat.Octets.begin());
  return n;
}

std::size_t LireFichier(const std::string& nom, bool hexa, std::size_t taille, ImageChargee& resultat) {
  const bool entree = nom == NomFluxStandard;
  int erreur = 0;
  // Opened without waiting, and only a regular file: a FIFO or a device
  // named by mistake is refused, never waited on.
  const Descripteur fichier(entree ? -1 : OuvrirFichierOrdinaire(nom.c_str(), erreur));
  if (!entree && !fichier.Ouvert()) {
    resultat.Message = Illisible(nom, erreur);
    return 0;
  }
  const int fd = entree ? STDIN_FILENO : fichier.Fd();
  return hexa ? LireHexa(fd, nom, resultat) : LireBinaire(fd, nom, taille, resultat);
}

}  // namespace

ImageChargee ChargerImage(const std::string& nom, bool hexa, int chipSize) {
  ImageChargee resultat;
  const auto taille = static_cast<std::size_t>(chipSize);
  const std::size_t etendue = LireFichier(nom, hexa, taille, resultat);
  resultat.Etendue = etendue;
  if (!resultat.Message.empty()) return resultat;
  if (etendue == 0) {
    resultat.Message = MessageFichierVide;
    return resultat;
  }
  if (etendue > taille) {
    resultat.Message = TropGrand(std::to_string(etendue), taille);
    return resultat;
  }
  resultat.Acceptee = true;
  if (etendue < taille)
    resultat.Message = "Fichier de " + std::to_string(etendue) + " octets pour une mémoire de " +
                       std::to_string(taille) + " octets : les adresses " + Hexa4(static_cast<int>(etendue)) + " à " +
                       Hexa4(static_cast<int>(taille - 1)) + " valent $FF.";
  return resultat;
}

std::string RefusDestination(const std::string& nom) {
  if (nom == NomFluxStandard) return std::string();
  const int erreur = VerifierDestination(nom);
  return erreur == 0 ? std::string() : "Fichier de sortie refusé : " + nom + " (" + TexteErreurFichier(erreur) + ")";
}

std::string SauverImage(const std::string& nom, bool hexa, const std::uint8_t* octets, int chipSize) {
  const auto taille = static_cast<std::size_t>(chipSize);
  int erreur = 0;
  if (nom == NomFluxStandard) {
    const std::string texte = hexa ? FormaterHexa(taille, OctetsParEnregistrement, octets)
                                   : std::string(octets, octets + taille);
    if (EcrireTout(STDOUT_FILENO, texte.data(), texte.size())) return std::string();
    return "Écriture impossible sur la sortie standard (" + TexteErreurFichier(errno) + ")";
  }
  const bool ecrit = hexa ? EcrireFichierHexa(taille, OctetsParEnregistrement, nom, octets, &erreur)
                          : SauverFichierBinaire(nom, octets, taille, &erreur);
  if (ecrit) return std::string();
  return "L'enregistrement n'a pas pu être effectué : " + nom + " (" + TexteErreurFichier(erreur) + ")";
}

}  // namespace zorbix
