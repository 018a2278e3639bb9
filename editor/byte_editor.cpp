#include "byte_editor.h"

namespace zorbix {
namespace {

constexpr int ToucheSuppr = 0x7F;  // the text X11 gives the Delete key

// The value of an upper-case hex digit, or -1.
int ChiffreHexa(int key) {
  if (key >= '0' && key <= '9') return key - '0';
  if (key >= 'A' && key <= 'F') return key - 'A' + 10;
  return -1;
}

}  // namespace

IssueTouche EditeurOctet::Touche(int key, bool hexa, std::uint8_t& octet, JeuCaracteres jeu) {
  if (key == ToucheEchap) {
    valeur_ = octet;
    return IssueTouche::Annulee;
  }
  const IssueTouche issue = hexa ? ToucheHexa(key) : ToucheCaractere(key, jeu);
  if (issue == IssueTouche::Validee) octet = valeur_;
  return issue;
}

// A digit shifts in: the box keeps the previous last digit and the new one,
// so a byte is typed as its two digits.
IssueTouche EditeurOctet::ToucheHexa(int key) {
  if (key >= 'a' && key <= 'z') key -= 0x20;
  const int chiffre = ChiffreHexa(key);
  if (chiffre >= 0) {
    valeur_ = static_cast<std::uint8_t>(valeur_ << 4 | chiffre);
    return IssueTouche::Saisie;
  }
  return key == ToucheEntree || key == ToucheEspace ? IssueTouche::Validee : IssueTouche::Ignoree;
}

// Any character from Space up is the new value. Delete and Backspace carry
// control codes: they enter nothing.
IssueTouche EditeurOctet::ToucheCaractere(int key, JeuCaracteres jeu) {
  if (key >= ToucheEspace && key <= 0xFF && key != ToucheSuppr) {
    const auto ansi = static_cast<std::uint8_t>(key);
    valeur_ = jeu == JeuCaracteres::Oem ? AnsiVersOem(ansi) : ansi;
    return IssueTouche::Saisie;
  }
  return key == ToucheEntree ? IssueTouche::Validee : IssueTouche::Ignoree;
}

}  // namespace zorbix
