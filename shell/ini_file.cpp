#include "ini_file.h"

#include <cctype>
#include <fstream>
#include <iterator>
#include <sstream>

namespace zorbix {
namespace {

bool EstBlanc(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

std::string SansBlancs(const std::string& s) {
  std::size_t debut = 0, fin = s.size();
  while (debut < fin && EstBlanc(s[debut])) ++debut;
  while (fin > debut && EstBlanc(s[fin - 1])) --fin;
  return s.substr(debut, fin - debut);
}

std::string Minuscules(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string SansGuillemets(std::string v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    v = v.substr(1, v.size() - 2);
  if (v.size() > LongueurMaxValeurIni) v.resize(LongueurMaxValeurIni);
  return v;
}

}  // namespace

bool FichierIni::Charger(const std::string& chemin) {
  std::ifstream f(chemin, std::ios::binary);
  if (!f) return false;
  ChargerTexte(std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()));
  return true;
}

void FichierIni::ChargerTexte(const std::string& texte) {
  entrees_.clear();
  std::istringstream flux(texte);
  std::string ligne, section;
  bool avecSection = false;
  while (std::getline(flux, ligne)) {
    ligne = SansBlancs(ligne);
    if (ligne.empty() || ligne.front() == ';') continue;
    if (ligne.front() == '[') {
      const std::size_t fin = ligne.find(']');
      section = Minuscules(SansBlancs(ligne.substr(1, fin == std::string::npos ? std::string::npos : fin - 1)));
      avecSection = true;
      continue;
    }
    const std::size_t egal = ligne.find('=');
    if (!avecSection || egal == std::string::npos) continue;
    const std::string cle = Minuscules(SansBlancs(ligne.substr(0, egal)));
    if (cle.empty() || Valeur(section, cle)) continue;
    entrees_.push_back({section, cle, SansGuillemets(SansBlancs(ligne.substr(egal + 1)))});
  }
}

std::optional<std::string> FichierIni::Valeur(const std::string& section, const std::string& cle) const {
  const std::string s = Minuscules(section), c = Minuscules(cle);
  for (const Entree& e : entrees_)
    if (e.section == s && e.cle == c) return e.valeur;
  return std::nullopt;
}

}  // namespace zorbix
