// The settings file's text: the registry's own export syntax, one key and
// its named values, each a 32-bit number or a string.
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CURRENT_USER\Software\KELVANO\TRAMEX]
//   "Port_parallele"=dword:00000378
//   "Nom_Fichier"="C:\\tmp\\x.bin"
//
// Pure C++: no Qt.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace zorbix {

struct ValeurRegistre {
  enum class Type { Nombre, Chaine };
  Type type = Type::Nombre;
  std::uint32_t nombre = 0;
  std::string chaine;  // UTF-8
};

// Value names with their values, in file order.
using ValeursRegistre = std::vector<std::pair<std::string, ValeurRegistre>>;

// The values of key `cle` (matched without regard to case) found in `texte`.
// Lines that are not values of that key are passed over, as is a value
// line that does not parse; a name given twice keeps its last value.
ValeursRegistre LireTexteRegistre(const std::string& texte, const std::string& cle);

std::string EcrireTexteRegistre(const std::string& cle, const ValeursRegistre& valeurs);

// ASCII case-insensitive equality, as the registry matches names.
bool MemesNomsRegistre(const std::string& a, const std::string& b);

}  // namespace zorbix
