// Intel HEX files, 8-bit variant with 16-bit addresses: the reader that loads
// records into the Buffer and the writer that saves the chip image.
//
// The reader accepts data records of up to 32 bytes anywhere inside the
// capacity it is given, passes over extended address records (02, 04) of
// value 0000, stops at the first record of any other type than 00 (so an
// extended address beyond 64 KiB ends the reading), and stops at the first faulty
// line with one of eight codes. Records are stored one by one as they pass:
// what was stored before a faulty line stays, nothing is rolled back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zorbix {

enum class CodeHexa {
  FichierIntrouvable = -1,  // the file could not be opened or read (Erreur says why)
  Succes = 0,               // end of file, or a record that ends the reading
  PasFormatIntel = 1,       // the line does not start with ':'
  NombreOctetsInconnu = 2,  // the count field is not a hexadecimal pair
  TropDeDonnees = 3,        // more than 32 data bytes
  AdresseIncorrecte = 4,    // an address field is not a hexadecimal pair
  DepassementBuffer = 5,    // address + count beyond the capacity
  SommeAbsente = 6,         // no hexadecimal pair where the checksum belongs
  DonneesInvalides = 7,     // a data pair is not hexadecimal
  SommeIncorrecte = 8,      // the record's bytes do not sum to 0 modulo 256
};

// Largest record the reader accepts, and what the main window passes as the
// record size when it saves.
constexpr int MaxOctetsParEnregistrement = 32;
constexpr int OctetsParEnregistrement = 16;

struct ResultatLectureHexa {
  CodeHexa Code = CodeHexa::Succes;
  std::string Message;             // empty for Succes; UTF-8
  std::size_t OctetsValides = 0;   // valid data bytes met in data records, faulty ones too
  std::size_t Etendue = 0;         // one past the highest address a data record stored
  int Erreur = 0;                  // FichierIntrouvable: the reason, as in file_errors.h
  std::size_t Ligne = 0;           // codes 1..8: the faulty line's number, from 1
  std::string Enregistrement;      // codes 1..8: that line as read, without its line end
};

// Two hexadecimal digits ('0'-'9', 'A'-'F', 'a'-'f'), most significant first.
// Sets `octet` and returns true only when both are digits; otherwise leaves
// `octet` as it was.
bool LirePaireHexa(char fort, char faible, std::uint8_t& octet);

// The message shown for a reader code 1..8 (empty for Succes). The message of
// FichierIntrouvable names the file, so only LireFichierHexa produces it.
std::string MessageHexa(CodeHexa code);

// Reads the Intel HEX file `nom` into buffer[0, capacite). The main window
// passes the whole Buffer (65536). Never writes outside [0, capacite); leaves
// the Buffer untouched when the file cannot be opened. Only a regular file
// (or a link to one) is read: a FIFO, a device or a folder is refused without
// waiting. A name that does not exist gets the message "Le fichier NOM est
// introuvable !", anything else that cannot be opened says why.
ResultatLectureHexa LireFichierHexa(const std::string& nom, std::uint8_t* buffer,
                                    std::size_t capacite);

// The same from a descriptor already open (standard input, for one), read to
// its end. A read error gives FichierIntrouvable with its Erreur and no
// message, since there is no name to give.
ResultatLectureHexa LireHexaDepuis(int fd, std::uint8_t* buffer, std::size_t capacite);

// The text of the file that saves buffer[0, taille): one data record per
// `octetsParLigne` bytes from address 0, upper-case digits, CR LF, then the
// end record ":00000001FF". The last record is shorter when `octetsParLigne`
// does not divide `taille` (never the case for a chip size and 16).
// Requires taille <= 65536 and 1 <= octetsParLigne <= 32.
std::string FormaterHexa(std::size_t taille, int octetsParLigne, const std::uint8_t* buffer);

// Saves buffer[0, taille) as an Intel HEX file named exactly `nom`, replacing
// any file of that name only once the new one is completely on disk (see
// safe_save.h). Returns false, leaving the old file as it was, when the file
// cannot be written, or when taille > 65536 or octetsParLigne is outside
// 1..32 (records this reader could not read back); `*erreur`, when given,
// then tells why (see safe_save.h).
bool EcrireFichierHexa(std::size_t taille, int octetsParLigne, const std::string& nom,
                       const std::uint8_t* buffer, int* erreur = nullptr);

}  // namespace zorbix
