#include "registry_text.h"

#include <cctype>
#include <cstdio>
#include <sstream>

namespace zorbix {
namespace {

constexpr char kEnTete[] = "Windows Registry Editor Version 5.00";

std::string SansBlancs(const std::string& s) {
  std::size_t debut = 0, fin = s.size();
  while (debut < fin && std::isspace(static_cast<unsigned char>(s[debut]))) ++debut;
  while (fin > debut && std::isspace(static_cast<unsigned char>(s[fin - 1]))) --fin;
  return s.substr(debut, fin - debut);
}

// Reads a quoted string starting at s[pos] == '"', undoing \\, \", \n and
// \r; leaves pos after the closing quote. False if it is not closed.
bool LireChaine(const std::string& s, std::size_t& pos, std::string& sortie) {
  if (pos >= s.size() || s[pos] != '"') return false;
  sortie.clear();
  for (++pos; pos < s.size(); ++pos) {
    char c = s[pos];
    if (c == '"') {
      ++pos;
      return true;
    }
    if (c == '\\' && pos + 1 < s.size()) {
      c = s[++pos];
      c = c == 'n' ? '\n' : c == 'r' ? '\r' : c;
    }
    sortie += c;
  }
  return false;
}

// A line break in a string (a file name may hold one) would end its line of
// the file: it is written as \n or \r, as a backslash and a quote are escaped.
std::string Echapper(const std::string& s) {
  std::string e;
  for (char c : s) {
    if (c == '\n') {
      e += "\\n";
    } else if (c == '\r') {
      e += "\\r";
    } else {
      if (c == '\\' || c == '"') e += '\\';
      e += c;
    }
  }
  return e;
}

bool LireValeur(const std::string& ligne, std::string& nom, ValeurRegistre& v) {
  std::size_t pos = 0;
  if (!LireChaine(ligne, pos, nom) || pos >= ligne.size() || ligne[pos] != '=') return false;
  const std::string reste = ligne.substr(pos + 1);
  if (reste.compare(0, 6, "dword:") == 0) {
    const std::string chiffres = reste.substr(6);
    if (chiffres.size() != 8 || chiffres.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
      return false;
    v.type = ValeurRegistre::Type::Nombre;
    v.nombre = static_cast<std::uint32_t>(std::stoul(chiffres, nullptr, 16));
    return true;
  }
  std::size_t p = 0;
  v.type = ValeurRegistre::Type::Chaine;
  return LireChaine(reste, p, v.chaine) && p == reste.size();
}

}  // namespace

bool MemesNomsRegistre(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

ValeursRegistre LireTexteRegistre(const std::string& texte, const std::string& cle) {
  ValeursRegistre valeurs;
  std::istringstream flux(texte);
  std::string ligne;
  bool dansCle = false;
  while (std::getline(flux, ligne)) {
    ligne = SansBlancs(ligne);
    if (!ligne.empty() && ligne.front() == '[') {
      dansCle = ligne.back() == ']' && MemesNomsRegistre(ligne.substr(1, ligne.size() - 2), cle);
      continue;
    }
    std::string nom;
    ValeurRegistre v;
    if (!dansCle || !LireValeur(ligne, nom, v)) continue;
    bool remplace = false;
    for (auto& [n, ancienne] : valeurs)
      if (MemesNomsRegistre(n, nom)) {
        ancienne = v;
        remplace = true;
      }
    if (!remplace) valeurs.emplace_back(nom, v);
  }
  return valeurs;
}

std::string EcrireTexteRegistre(const std::string& cle, const ValeursRegistre& valeurs) {
  std::string t = std::string(kEnTete) + "\r\n\r\n[" + cle + "]\r\n";
  for (const auto& [nom, v] : valeurs) {
    t += '"' + Echapper(nom) + "\"=";
    if (v.type == ValeurRegistre::Type::Nombre) {
      char chiffres[9];
      std::snprintf(chiffres, sizeof chiffres, "%08x", static_cast<unsigned>(v.nombre));
      t += std::string("dword:") + chiffres;
    } else {
      t += '"' + Echapper(v.chaine) + '"';
    }
    t += "\r\n";
  }
  return t;
}

}  // namespace zorbix
