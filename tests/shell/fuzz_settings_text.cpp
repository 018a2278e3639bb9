// libFuzzer target for the settings file's text (shell/registry_text.h),
// which the program reads at every start and writes back at every close.
// Each input is used twice:
//  - as a settings file: what is read, written back and read again must be
//    the same values, with no value name given twice;
//  - as values the program could hold (names and strings of any bytes, cut
//    from the input): written and read back, they must come back whole.
// Built and run by scripts/fuzz_files.sh.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "shell/registry_text.h"
#include "tests/fuzz_support.h"

namespace {

const std::string Cle = "HKEY_CURRENT_USER\\Software\\KELVANO\\TRAMEX";

bool Egales(const zorbix::ValeursRegistre& a, const zorbix::ValeursRegistre& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const zorbix::ValeurRegistre &x = a[i].second, &y = b[i].second;
    if (a[i].first != b[i].first || x.type != y.type) return false;
    if (x.type == zorbix::ValeurRegistre::Type::Nombre ? x.nombre != y.nombre : x.chaine != y.chaine)
      return false;
  }
  return true;
}

bool NomsDistincts(const zorbix::ValeursRegistre& valeurs) {
  for (std::size_t i = 0; i < valeurs.size(); ++i)
    for (std::size_t j = i + 1; j < valeurs.size(); ++j)
      if (zorbix::MemesNomsRegistre(valeurs[i].first, valeurs[j].first)) return false;
  return true;
}

// Values cut from `octets` at each 0x00: name, value, name, value...; a value
// of four bytes or fewer is a number made of them, a longer one a string.
// Names are made distinct by a prefix "N:" (the store never holds a name
// twice).
zorbix::ValeursRegistre ValeursDepuis(const std::string& octets) {
  zorbix::ValeursRegistre valeurs;
  std::size_t debut = 0;
  std::string morceaux[2];
  int n = 0;
  while (debut <= octets.size()) {
    const std::size_t fin = std::min(octets.find('\0', debut), octets.size());
    morceaux[n++] = octets.substr(debut, fin - debut);
    debut = fin + 1;
    if (n < 2) continue;
    n = 0;
    zorbix::ValeurRegistre v;
    if (morceaux[1].size() <= 4) {
      for (unsigned char c : morceaux[1]) v.nombre = v.nombre << 8 | c;
    } else {
      v.type = zorbix::ValeurRegistre::Type::Chaine;
      v.chaine = morceaux[1];
    }
    valeurs.emplace_back(std::to_string(valeurs.size()) + ":" + morceaux[0], v);
  }
  return valeurs;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string texte(reinterpret_cast<const char*>(data), size);

  const zorbix::ValeursRegistre lues = zorbix::LireTexteRegistre(texte, Cle);
  Verifier(NomsDistincts(lues), "a value name read twice");
  const std::string ecrit = zorbix::EcrireTexteRegistre(Cle, lues);
  Verifier(Egales(zorbix::LireTexteRegistre(ecrit, Cle), lues), "settings read, written and read again differ");

  const zorbix::ValeursRegistre tenues = ValeursDepuis(texte);
  Verifier(Egales(zorbix::LireTexteRegistre(zorbix::EcrireTexteRegistre(Cle, tenues), Cle), tenues),
           "values written and read back differ");
  return 0;
}
