#include "engine/identification.h"

#include <algorithm>


namespace zorbix {
namespace {

constexpr int NombreSelections = 8;

// One read of the probing: its address width, its address, how many bytes.
struct Sonde {
  int OctetsAdresse;
  int Adresse;
  int Nombre;
};

// The widths first. Two reads of $00 with one address byte: a chip that
// ignores a lone address byte continues the second where the first ended.
// A read of $0000 with two, and one that runs from $FFF0 over the end of
// every two-byte type back to its $0000. The 32 bytes from $00 also show a
// 24C00 wrapping after 16.
constexpr Sonde SondesLargeur[] = {{1, 0x00, 32}, {1, 0x00, 16}, {2, 0x0000, 16}, {2, 0xFFF0, 32}};
// Then, in a width that several sizes share, the places where a smaller type
// wraps back to $0000, and half the smallest size, which tells repeating
// contents from a wrap.
constexpr Sonde SondesTaille1[] = {{1, 0x40, 16}, {1, 0x80, 16}};
constexpr Sonde SondesTaille2[] = {
    {2, 0x0800, 16}, {2, 0x1000, 16}, {2, 0x2000, 16}, {2, 0x4000, 16}, {2, 0x8000, 16}};

LectureSonde Lire(Sondeur& sondeur, const Sonde& s) {
  LectureSonde l{s.OctetsAdresse, s.Adresse, false, std::vector<std::uint8_t>(static_cast<std::size_t>(s.Nombre))};
  const std::uint8_t haut = static_cast<std::uint8_t>(s.Adresse >> 8), bas = static_cast<std::uint8_t>(s.Adresse);
  const std::uint8_t adresse[2] = {s.OctetsAdresse == 2 ? haut : bas, bas};
  l.AdresseAcquittee = sondeur.LireApresAdresse(SelectionEcriture, adresse, s.OctetsAdresse, l.Octets.data(), s.Nombre);
  return l;
}

constexpr int Inconnu = -1;

// What the reads made in the width of `chipType` say of each of its
// addresses: the read and position that first gave it (lecture * 256 +
// position), or Inconnu. Stops at the first contradiction, which it
// records in `exclusion`.
std::vector<int> Placer(const Identification& id, int chipType, Exclusion& exclusion) {
  const int taille = SpecMemoire(chipType).Taille;
  std::vector<int> place(static_cast<std::size_t>(taille), Inconnu);
  for (std::size_t i = 0; i < id.Lectures.size(); ++i) {
    const LectureSonde& l = id.Lectures[i];
    if (l.OctetsAdresse != OctetsAdresse(chipType)) continue;
    if (!l.AdresseAcquittee) {
      exclusion = {Exclusion::AdresseRefusee, static_cast<int>(i)};
      return place;
    }
    for (std::size_t j = 0; j < l.Octets.size(); ++j) {
      int& vu = place[static_cast<std::size_t>((l.Adresse + static_cast<int>(j)) & (taille - 1))];
      if (vu == Inconnu) {
        vu = static_cast<int>(i * 256 + j);
        continue;
      }
      if (id.Lectures[static_cast<std::size_t>(vu / 256)].Octets[static_cast<std::size_t>(vu % 256)] != l.Octets[j]) {
        exclusion = {Exclusion::OctetsDifferents, vu / 256, vu % 256, static_cast<int>(i), static_cast<int>(j)};
        return place;
      }
    }
  }
  return place;
}

// Whether the contents of `chipType`, as read, differ somewhere between its
// two halves: if they do not, a chip of half its size, or of any larger
// size whose contents repeat, would have given the same reads.
bool ContenuVarie(const Identification& id, int chipType) {
  Exclusion ignoree;
  const std::vector<int> place = Placer(id, chipType, ignoree);
  const std::size_t moitie = place.size() / 2;
  auto octet = [&](int vu) { return id.Lectures[static_cast<std::size_t>(vu / 256)].Octets[vu % 256]; };
  for (std::size_t a = 0; a < moitie; ++a)
    if (place[a] != Inconnu && place[a + moitie] != Inconnu && octet(place[a]) != octet(place[a + moitie]))
      return true;
  return false;
}

// Whether the possible types of a width have more than one size.
bool TaillesDiverses(const Identification& id, int largeur) {
  int taille = 0;
  for (int t = 0; t < NombreTypesMemoire; ++t) {
    if (!id.Possible(t) || OctetsAdresse(t) != largeur) continue;
    if (taille != 0 && taille != SpecMemoire(t).Taille) return true;
    taille = SpecMemoire(t).Taille;
  }
  return false;
}

bool LargeurPossible(const Identification& id, int largeur) {
  for (int t = 0; t < NombreTypesMemoire; ++t)
    if (id.Possible(t) && OctetsAdresse(t) == largeur) return true;
  return false;
}

template <std::size_t N>
void LireSondes(Sondeur& sondeur, const Sonde (&sondes)[N], Identification& id, bool seulementDiverses) {
  for (const Sonde& s : sondes) {
    const bool utile = seulementDiverses ? TaillesDiverses(id, s.OctetsAdresse) : LargeurPossible(id, s.OctetsAdresse);
    if (utile) id.Lectures.push_back(Lire(sondeur, s));
  }
}

// The select bytes first; the reads only when the selects leave sizes to
// tell apart.
void SonderLaPuce(Sondeur& sondeur, Identification& id) {
  for (int bits = 0; bits < NombreSelections; ++bits)
    if (sondeur.SelectionAcquittee(static_cast<std::uint8_t>(SelectionEcriture | (bits << 1))))
      id.SelectionsAcquittees |= static_cast<std::uint8_t>(1 << bits);
  Deduire(id);
  if (id.Verdict != Certitude::Probable && id.Verdict != Certitude::Incertaine) return;
  LireSondes(sondeur, SondesLargeur, id, false);
  Deduire(id);
  LireSondes(sondeur, SondesTaille1, id, true);
  LireSondes(sondeur, SondesTaille2, id, true);
  Deduire(id);
}

void Juger(Identification& id) {
  int plusPetite = 0, plusGrande = 0, petitType = -1;
  bool deuxLargeurs = false;
  for (int t = 0; t < NombreTypesMemoire; ++t) {
    if (!id.Possible(t)) continue;
    const int taille = SpecMemoire(t).Taille;
    if (petitType >= 0 && OctetsAdresse(t) != OctetsAdresse(petitType)) deuxLargeurs = true;
    if (petitType < 0 || taille < plusPetite) plusPetite = taille, petitType = t;
    plusGrande = std::max(plusGrande, taille);
  }
  id.TailleRetenue = 0;
  if (id.SelectionsAcquittees == 0)
    id.Verdict = Certitude::AucuneMemoire;
  else if (petitType < 0)
    id.Verdict = Certitude::AucunType;
  else if (plusPetite == plusGrande)
    id.Verdict = Certitude::Certaine;
  else if (!deuxLargeurs && ContenuVarie(id, petitType))
    id.Verdict = Certitude::Probable;
  else
    id.Verdict = Certitude::Incertaine;
  if (id.Verdict == Certitude::Certaine || id.Verdict == Certitude::Probable) id.TailleRetenue = plusPetite;
}

}  // namespace

std::uint8_t SelectionsRepondues(int chipType) {
  const ChipSpec& fiche = SpecMemoire(chipType);
  if (fiche.Taille == 16) return 0xFF;  // the 24C00 has no address pins: it decodes none of the three bits
  return static_cast<std::uint8_t>((1 << (1 << fiche.BitsBlocSelection)) - 1);
}

void Deduire(Identification& id) {
  for (int t = 0; t < NombreTypesMemoire; ++t) {
    id.Exclusions[t] = {};
    if (SelectionsRepondues(t) != id.SelectionsAcquittees)
      id.Exclusions[t].Pourquoi = Exclusion::Selections;
    else
      Placer(id, t, id.Exclusions[t]);
  }
  Juger(id);
}

Bilan IdentifierMemoire(Adapter& adaptateur, Identification& identification) {
  identification = {};
  return adaptateur.Sonder([&](Sondeur& sondeur) { SonderLaPuce(sondeur, identification); });
}

}  // namespace zorbix
