#include "code_pages.h"

#include <iconv.h>
#include <locale.h>

#include <array>
#include <cstddef>

namespace zorbix {
namespace {

constexpr int Indefini = -1;

// Code page 437's pictures for the control codes 0x00..0x1F (0x00 blank).
constexpr char32_t kImagesControle[32] = {
    0x0020, 0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022,
    0x25D8, 0x25CB, 0x25D9, 0x2642, 0x2640, 0x266A, 0x266B, 0x263C,
    0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7, 0x25AC, 0x21A8,
    0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC,
};
constexpr char32_t kImageDelete = 0x2302;  // house
constexpr char32_t kTraitUnion = 0x00AD;   // soft hyphen

// One iconv conversion descriptor, closed when the table is built.
class Convertisseur {
 public:
  Convertisseur(const char* vers, const char* depuis) : cd_(iconv_open(vers, depuis)) {}
  ~Convertisseur() {
    if (ok()) iconv_close(cd_);
  }
  Convertisseur(const Convertisseur&) = delete;
  Convertisseur& operator=(const Convertisseur&) = delete;

  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts `taille` bytes; returns the number of bytes written to `sortie`,
  // or -1 when iconv refuses the input.
  int Convertir(const char* entree, std::size_t taille, char* sortie, std::size_t place) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // fresh shift state per character
    char* in = const_cast<char*>(entree);
    char* out = sortie;
    std::size_t resteOut = place;
    if (iconv(cd_, &in, &taille, &out, &resteOut) == static_cast<std::size_t>(-1)) return -1;
    return static_cast<int>(place - resteOut);
  }

 private:
  iconv_t cd_;
};

// The code point iconv decodes for each byte of `codePage`, or Indefini.
std::array<int, 256> Decoder(const char* codePage) {
  std::array<int, 256> table;
  table.fill(Indefini);
  Convertisseur conv("UTF-32LE", codePage);
  if (!conv.ok()) return table;
  for (int b = 0; b < 256; ++b) {
    const char octet = static_cast<char>(b);
    unsigned char u[4];
    if (conv.Convertir(&octet, 1, reinterpret_cast<char*>(u), sizeof u) == 4)
      table[b] = u[0] | u[1] << 8 | u[2] << 16 | u[3] << 24;
  }
  return table;
}

char32_t GlypheDe(int codePoint, int octet) {
  if (octet == 0x7F) return kImageDelete;
  if (octet < 0x20) return kImagesControle[octet];
  if (codePoint == Indefini) return GlypheIndefini;
  if (codePoint == kTraitUnion) return U'-';
  return static_cast<char32_t>(codePoint);
}

// iconv's transliteration follows the thread's LC_CTYPE locale: the table is
// built under C.UTF-8 (whose rules turn "Š" into "S") whatever locale the
// program runs in, so that the result does not depend on the user's
// settings. Without C.UTF-8, the C locale's rules apply ("Š" gives "?").
class LocaleDeConversion {
 public:
  LocaleDeConversion() : locale_(newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr)) {
    if (!locale_) locale_ = newlocale(LC_CTYPE_MASK, "C", nullptr);
    if (locale_) precedente_ = uselocale(locale_);
  }
  ~LocaleDeConversion() {
    if (!locale_) return;
    uselocale(precedente_);
    freelocale(locale_);
  }
  LocaleDeConversion(const LocaleDeConversion&) = delete;
  LocaleDeConversion& operator=(const LocaleDeConversion&) = delete;

 private:
  locale_t locale_;
  locale_t precedente_ = nullptr;
};

std::array<std::uint8_t, 256> ConvertirAnsiVersOem() {
  std::array<std::uint8_t, 256> table;
  const LocaleDeConversion locale;
  Convertisseur conv("CP850//TRANSLIT", "CP1252");
  for (int b = 0; b < 256; ++b) {
    const char octet = static_cast<char>(b);
    char sortie[8];
    const bool unOctet = conv.ok() && conv.Convertir(&octet, 1, sortie, sizeof sortie) == 1;
    table[b] = unOctet ? static_cast<std::uint8_t>(sortie[0]) : '?';
  }
  return table;
}

struct Tables {
  std::array<int, 256> ansi = Decoder("CP1252");
  std::array<char32_t, 256> glyphes[2];
  std::array<std::uint8_t, 256> ansiVersOem = ConvertirAnsiVersOem();

  Tables() {
    const std::array<int, 256> oem = Decoder("CP850");
    for (int b = 0; b < 256; ++b) {
      glyphes[0][b] = GlypheDe(ansi[b], b);
      glyphes[1][b] = GlypheDe(oem[b], b);
    }
  }
};

// Built on first use: every later call is a table lookup.
const Tables& LesTables() {
  static const Tables tables;
  return tables;
}

}  // namespace

char32_t Glyphe(JeuCaracteres jeu, std::uint8_t octet) {
  return LesTables().glyphes[jeu == JeuCaracteres::Oem ? 1 : 0][octet];
}

int OctetAnsi(char32_t caractere) {
  const std::array<int, 256>& ansi = LesTables().ansi;
  for (int b = 0; b < 256; ++b)
    if (ansi[b] == static_cast<int>(caractere)) return b;
  return -1;
}

std::uint8_t AnsiVersOem(std::uint8_t octetAnsi) { return LesTables().ansiVersOem[octetAnsi]; }

}  // namespace zorbix
