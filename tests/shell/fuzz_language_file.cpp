// libFuzzer target for the INI reader that reads the language file
// (shell/ini_file.h). Each input is a file's text, Windows-1252 or anything
// else. For every section and key the input seems to name (and a few fixed
// ones), it checks that:
//  - a value is never longer than the limit, and is a piece of the input
//    (bytes are kept as they are);
//  - names match without regard to case;
//  - of a key given twice the first counts: the same key put in front of the
//    text wins, the same key added at its end changes nothing.
// Built and run by scripts/fuzz_files.sh.
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "shell/ini_file.h"
#include "tests/fuzz_support.h"

namespace {

std::string Majuscules(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// A name that can stand in a section header or before '=' as it is.
bool NomUtilisable(const std::string& nom) {
  if (nom.empty() || nom.size() > 64 || nom.front() == ';' || nom.front() == '[') return false;
  for (unsigned char c : nom)
    if (c < 0x21 || c == '=' || c == ']' || c == 0x7F) return false;
  return true;
}

// The (section, key) pairs the text seems to name: each '[...]' header and
// each "key=" below it, ten at most. Only a choice of names to ask
// about; what the reader answers is checked against the rules, not this.
std::vector<std::pair<std::string, std::string>> NomsProposes(const std::string& texte) {
  std::vector<std::pair<std::string, std::string>> noms = {{"Menu1", "Name"}, {"Menu1", "Item1"}};
  std::string section;
  std::size_t debut = 0;
  while (debut < texte.size() && noms.size() < 10) {
    const std::size_t fin = std::min(texte.find('\n', debut), texte.size());
    const std::string ligne = texte.substr(debut, fin - debut);
    debut = fin + 1;
    const std::size_t crochet = ligne.find(']');
    if (!ligne.empty() && ligne.front() == '[' && crochet != std::string::npos) {
      section = ligne.substr(1, crochet - 1);
    } else if (ligne.find('=') != std::string::npos) {
      noms.emplace_back(section, ligne.substr(0, ligne.find('=')));
    }
  }
  return noms;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string texte(reinterpret_cast<const char*>(data), size);
  zorbix::FichierIni ini;
  ini.ChargerTexte(texte);

  for (const auto& [section, cle] : NomsProposes(texte)) {
    const std::optional<std::string> valeur = ini.Valeur(section, cle);
    if (valeur) {
      Verifier(valeur->size() <= zorbix::LongueurMaxValeurIni, "a value over the limit");
      Verifier(texte.find(*valeur) != std::string::npos, "a value that is not a piece of the file");
    }
    Verifier(ini.Valeur(Majuscules(section), Majuscules(cle)) == valeur, "names matched with their case");
    if (!NomUtilisable(section) || !NomUtilisable(cle)) continue;

    zorbix::FichierIni devant;
    devant.ChargerTexte("[" + section + "]\n" + cle + "=premier\n" + texte);
    Verifier(devant.Valeur(section, cle) == std::string("premier"), "a key given twice: the first does not count");
    if (valeur) {
      zorbix::FichierIni derriere;
      derriere.ChargerTexte(texte + "\n[" + section + "]\n" + cle + "=dernier\n");
      Verifier(derriere.Valeur(section, cle) == valeur, "a key given twice: the last one counts");
    }
  }
  return 0;
}
