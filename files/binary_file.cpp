#include "files/binary_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <vector>

#include "fileio/posix_file.h"
#include "fileio/safe_save.h"

namespace zorbix {
namespace {

// Upper case, at least four digits: the way addresses are shown.
std::string Hexa4(std::size_t valeur) {
  char texte[24];
  std::snprintf(texte, sizeof texte, "%04zX", valeur);
  return texte;
}

}  // namespace

std::size_t ChargerFichierBinaire(const std::string& nom, std::uint8_t* buffer,
                                  std::size_t capacite, int* erreur) {
  int refus = 0;
  if (!erreur) erreur = &refus;
  const Descripteur fichier(OuvrirFichierOrdinaire(nom.c_str(), *erreur));
  if (!fichier.Ouvert()) return 0;
  // Read aside first, so that a read failing half-way changes nothing.
  std::vector<std::uint8_t> lu(capacite);
  std::size_t n = 0;
  if (!LireJusqua(fichier.Fd(), lu.data(), capacite, n)) return *erreur = errno, 0;
  std::copy(lu.begin(), lu.begin() + static_cast<std::ptrdiff_t>(n), buffer);
  return n;
}

bool SauverFichierBinaire(const std::string& nom, const std::uint8_t* buffer,
                          std::size_t taille, int* erreur) {
  return RemplacerFichier(nom, buffer, taille, erreur);
}

std::string RapportChargement(std::size_t n, std::size_t tailleMemoire) {
  if (n == 0) return MessageFichierVide;
  return std::to_string(n) + " octets lus." +
         "\nLe buffer va être actualisé de l'adresse $0000 à $" + Hexa4(n - 1) +
         ".\nAvec cette mémoire de " + std::to_string(tailleMemoire) + " octets, les adresses" +
         "\naccessibles vont de $0000 à $" + Hexa4(tailleMemoire - 1) + "...";
}

}  // namespace zorbix
