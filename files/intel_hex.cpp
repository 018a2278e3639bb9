#include "files/intel_hex.h"

#include <algorithm>
#include <cerrno>

#include "fileio/file_errors.h"
#include "fileio/posix_file.h"
#include "fileio/safe_save.h"
#include "files/text_lines.h"

namespace zorbix {
namespace {

constexpr std::size_t PlusGrandeAdresse = 65536;  // 16-bit addresses

// One line as the checks below see it: positions past its end hold no digit.
class LigneHexa {
 public:
  explicit LigneHexa(const std::string& texte) : texte_(texte) {}

  bool CommenceParDeuxPoints() const { return !texte_.empty() && texte_[0] == ':'; }
  bool Paire(std::size_t position, std::uint8_t& octet) const {
    return position + 1 < texte_.size() &&
           LirePaireHexa(texte_[position], texte_[position + 1], octet);
  }

 private:
  const std::string& texte_;
};

constexpr std::uint8_t TypeSegmentEtendu = 0x02;
constexpr std::uint8_t TypeLineaireEtendu = 0x04;

struct Enregistrement {
  CodeHexa Code = CodeHexa::Succes;
  bool FinLecture = false;  // a record of another type than 00
  bool Passe = false;       // an extended address of 0000: nothing to store
  std::size_t Adresse = 0;
  int Nombre = 0;
  std::uint8_t Donnees[MaxOctetsParEnregistrement] = {};
  int OctetsValides = 0;    // counted for data records only
};

Enregistrement Refus(CodeHexa code, int octetsValides = 0) {
  Enregistrement e;
  e.Code = code;
  e.OctetsValides = octetsValides;
  return e;
}

bool AdresseEtendueNulle(std::uint8_t type, const Enregistrement& e) {
  return (type == TypeSegmentEtendu || type == TypeLineaireEtendu) && e.Nombre == 2 &&
         e.Donnees[0] == 0 && e.Donnees[1] == 0;
}

// Runs the checks of one line in their fixed order; the first that fails
// decides the code, so a line without its checksum gives SommeAbsente even
// when its data are not hexadecimal either.
//
// Two kinds of record have no fixed treatment of their own, so here is ours:
// - A record of another type than 00 with data bytes ends the reading and
//   stores nothing, but its checksum is tested over all its bytes like any
//   other record's, so a damaged line is never taken for a clean end. Its data
//   digits must therefore be hexadecimal (DonneesInvalides otherwise); they
//   are not counted as data bytes, since they never reach the Buffer.
// - A record whose type field is not a hexadecimal pair is read as a data
//   record, and its checksum is tested with the type 00 that it is treated as.
Enregistrement AnalyserLigne(const std::string& texte, std::size_t capacite) {
  const LigneHexa ligne(texte);
  if (!ligne.CommenceParDeuxPoints()) return Refus(CodeHexa::PasFormatIntel);
  std::uint8_t nombre, haut, bas, somme, type = 0;
  if (!ligne.Paire(1, nombre)) return Refus(CodeHexa::NombreOctetsInconnu);
  if (nombre > MaxOctetsParEnregistrement) return Refus(CodeHexa::TropDeDonnees);
  if (!ligne.Paire(3, haut) || !ligne.Paire(5, bas)) return Refus(CodeHexa::AdresseIncorrecte);
  Enregistrement e;
  e.Nombre = nombre;
  e.Adresse = haut * 256u + bas;
  if (e.Adresse + e.Nombre > capacite) return Refus(CodeHexa::DepassementBuffer);
  if (!ligne.Paire(9 + 2 * e.Nombre, somme)) return Refus(CodeHexa::SommeAbsente);
  if (!ligne.Paire(7, type)) type = 0;
  e.FinLecture = type != 0;

  int valides = 0;
  unsigned total = nombre + haut + bas + type + somme;
  for (int i = 0; i < e.Nombre; ++i) {
    if (ligne.Paire(9 + 2 * i, e.Donnees[i])) ++valides;
    total += e.Donnees[i];
  }
  if (!e.FinLecture) e.OctetsValides = valides;
  if (valides != e.Nombre) return Refus(CodeHexa::DonneesInvalides, e.OctetsValides);
  if (total % 256 != 0) return Refus(CodeHexa::SommeIncorrecte, e.OctetsValides);
  e.Passe = AdresseEtendueNulle(type, e);
  if (e.Passe) e.FinLecture = false;
  return e;
}

ResultatLectureHexa Resultat(CodeHexa code, std::size_t octetsValides, std::size_t etendue = 0) {
  ResultatLectureHexa r;
  r.Code = code;
  r.Message = MessageHexa(code);
  r.OctetsValides = octetsValides;
  r.Etendue = etendue;
  return r;
}

ResultatLectureHexa Illisible(int erreur, std::size_t octetsValides) {
  ResultatLectureHexa r = Resultat(CodeHexa::FichierIntrouvable, octetsValides);
  r.Erreur = erreur;
  return r;
}

ResultatLectureHexa RefusLigne(const Enregistrement& e, std::size_t octetsValides, std::size_t etendue,
                               const LecteurLignes& lecteur, std::string ligne) {
  ResultatLectureHexa r = Resultat(e.Code, octetsValides, etendue);
  if (e.Code == CodeHexa::Succes) return r;  // a record that ends the reading
  while (!ligne.empty() && (ligne.back() == '\n' || ligne.back() == '\r')) ligne.pop_back();
  r.Ligne = lecteur.Numero();
  r.Enregistrement = std::move(ligne);
  return r;
}

const char ChiffresHexa[] = "0123456789ABCDEF";

void AjouterOctet(std::string& texte, unsigned octet) {
  texte += ChiffresHexa[(octet >> 4) & 0xF];
  texte += ChiffresHexa[octet & 0xF];
}

void AjouterEnregistrement(std::string& texte, std::size_t adresse, std::size_t nombre,
                           const std::uint8_t* donnees) {
  unsigned somme = static_cast<unsigned>(nombre + (adresse >> 8) + (adresse & 0xFF));
  texte += ':';
  AjouterOctet(texte, static_cast<unsigned>(nombre));
  AjouterOctet(texte, static_cast<unsigned>(adresse >> 8));
  AjouterOctet(texte, static_cast<unsigned>(adresse & 0xFF));
  AjouterOctet(texte, 0x00);
  for (std::size_t i = 0; i < nombre; ++i) {
    AjouterOctet(texte, donnees[i]);
    somme += donnees[i];
  }
  AjouterOctet(texte, (256 - somme % 256) % 256);
  texte += "\r\n";
}

}  // namespace

bool LirePaireHexa(char fort, char faible, std::uint8_t& octet) {
  auto valeur = [](char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
  };
  const int f = valeur(fort), b = valeur(faible);
  if (f < 0 || b < 0) return false;
  octet = static_cast<std::uint8_t>(f * 16 + b);
  return true;
}

std::string MessageHexa(CodeHexa code) {
  switch (code) {
    case CodeHexa::PasFormatIntel:
      return "Erreur : le fichier n'est pas au format HEXA de chez Intel !";
    case CodeHexa::NombreOctetsInconnu:
      return "Erreur : nombre d'octets de l'échantillon inconnu !";
    case CodeHexa::TropDeDonnees:
      return "Erreur : trop de données sur une même ligne (maxi : 32o) !";
    case CodeHexa::AdresseIncorrecte:
      return "Erreur : adresse de l'échantillon incorrecte !";
    case CodeHexa::DepassementBuffer:
      return "Erreur : le nombre de données dépasse la capacité du Buffer !";
    case CodeHexa::SommeAbsente:
      return "Erreur : absence de la somme de controle !";
    case CodeHexa::DonneesInvalides:
      return "Erreur : certaines données sont invalides (non HEXA) !";
    case CodeHexa::SommeIncorrecte:
      return "Erreur : mauvaise valeur de la somme de contrôle !";
    case CodeHexa::Succes:
    case CodeHexa::FichierIntrouvable:
      break;
  }
  return std::string();
}

ResultatLectureHexa LireHexaDepuis(int fd, std::uint8_t* buffer, std::size_t capacite) {
  LecteurLignes lecteur(fd);
  std::string ligne;
  std::size_t octetsValides = 0;
  std::size_t etendue = 0;
  while (lecteur.LireLigne(ligne)) {
    const Enregistrement e = AnalyserLigne(ligne, capacite);
    octetsValides += static_cast<std::size_t>(e.OctetsValides);
    if (e.Code != CodeHexa::Succes || e.FinLecture)
      return RefusLigne(e, octetsValides, etendue, lecteur, std::move(ligne));
    if (e.Passe) continue;
    std::copy(e.Donnees, e.Donnees + e.Nombre, buffer + e.Adresse);
    if (e.Nombre > 0) etendue = std::max(etendue, e.Adresse + static_cast<std::size_t>(e.Nombre));
  }
  // A read error is no end of file: the lines that were not read may have
  // held anything, so the load is not reported as a success.
  if (lecteur.Erreur() != 0) return Illisible(lecteur.Erreur(), octetsValides);
  return Resultat(CodeHexa::Succes, octetsValides, etendue);
}

ResultatLectureHexa LireFichierHexa(const std::string& nom, std::uint8_t* buffer,
                                    std::size_t capacite) {
  int erreur = 0;
  const Descripteur fichier(OuvrirFichierOrdinaire(nom.c_str(), erreur));
  ResultatLectureHexa r = fichier.Ouvert() ? LireHexaDepuis(fichier.Fd(), buffer, capacite) : Illisible(erreur, 0);
  if (r.Code == CodeHexa::FichierIntrouvable)
    r.Message = NomIntrouvable(r.Erreur) ? "Le fichier " + nom + " est introuvable !"
                                         : PhraseFichierInaccessible(nom, r.Erreur);
  return r;
}

std::string FormaterHexa(std::size_t taille, int octetsParLigne, const std::uint8_t* buffer) {
  const std::size_t pas = static_cast<std::size_t>(octetsParLigne);
  std::string texte;
  texte.reserve((taille / pas + 1) * (13 + 2 * pas) + 13);
  for (std::size_t adresse = 0; adresse < taille; adresse += pas)
    AjouterEnregistrement(texte, adresse, std::min(pas, taille - adresse), buffer + adresse);
  texte += ":00000001FF\r\n";
  return texte;
}

bool EcrireFichierHexa(std::size_t taille, int octetsParLigne, const std::string& nom,
                       const std::uint8_t* buffer, int* erreur) {
  if (taille > PlusGrandeAdresse || octetsParLigne < 1 ||
      octetsParLigne > MaxOctetsParEnregistrement) {
    if (erreur) *erreur = EINVAL;
    return false;
  }
  const std::string texte = FormaterHexa(taille, octetsParLigne, buffer);
  return RemplacerFichier(nom, texte.data(), texte.size(), erreur);
}

}  // namespace zorbix
