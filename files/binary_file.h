// Raw binary files: the Buffer's bytes from address 0, no header, no
// trailer, no padding. A load takes at most the Buffer's 65536 bytes of any
// file; a save writes exactly the chip's size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zorbix {

// What the main window passes as the capacity of a load: the whole Buffer,
// whatever chip is selected.
constexpr std::size_t CapaciteChargement = 65536;

// Shown instead of the load report when nothing was read (trailing space
// included).
constexpr const char* MessageFichierVide = "Le fichier ne contient aucun octet ! ";

// Reads the first bytes of `nom`, at most `capacite`, into buffer[0, n) and
// returns n. Bytes from n on keep their values. A file that cannot be opened
// or read gives 0 and leaves the whole Buffer untouched, even if the read
// failed part of the way; `*erreur`, when given, then tells why (see
// file_errors.h), and is 0 otherwise. Only a regular file (or a link to one)
// is read: a FIFO, a device or a folder is refused without waiting.
std::size_t ChargerFichierBinaire(const std::string& nom, std::uint8_t* buffer,
                                  std::size_t capacite, int* erreur = nullptr);

// Saves buffer[0, taille) (the main window passes ChipSize) as `nom`, exactly
// as named, replacing any file of that name only once the new one is
// complete (see safe_save.h). False if the file could not be completely
// written, with the reason in `*erreur` when given; the old file is then
// unchanged, unless a folder that refuses new files made the save rewrite it
// in place and that writing failed.
bool SauverFichierBinaire(const std::string& nom, const std::uint8_t* buffer,
                          std::size_t taille, int* erreur = nullptr);

// The four-line report of a load of n bytes with a chip of `tailleMemoire`
// bytes, for example for 300 and 2048:
//   300 octets lus.
//   Le buffer va être actualisé de l'adresse $0000 à $012B.
//   Avec cette mémoire de 2048 octets, les adresses
//   accessibles vont de $0000 à $07FF...
// For n = 0 there is no range to report: it gives MessageFichierVide.
std::string RapportChargement(std::size_t n, std::size_t tailleMemoire);

}  // namespace zorbix
