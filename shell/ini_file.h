// A small INI reader with the matching rules of the platform's profile
// functions: section and key names without regard to case, the value after
// "=" with its blanks trimmed and one pair of enclosing double or single
// quotes removed, at most 2047 characters. Bytes are kept as they are (the
// language file is Windows-1252 text). Lines starting with ';' are comments;
// of a key given twice in a section, the first counts.
// Pure C++: no Qt.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zorbix {

constexpr std::size_t LongueurMaxValeurIni = 2047;

class FichierIni {
 public:
  // False when the file cannot be read.
  bool Charger(const std::string& chemin);
  void ChargerTexte(const std::string& texte);

  // The value of `cle` in `section`; nothing when absent. A present empty
  // value gives an empty string.
  std::optional<std::string> Valeur(const std::string& section, const std::string& cle) const;

 private:
  struct Entree {
    std::string section, cle, valeur;
  };
  std::vector<Entree> entrees_;
};

}  // namespace zorbix
