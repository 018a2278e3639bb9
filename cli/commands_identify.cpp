#include "cli/commands_identify.h"

#include <ostream>
#include <string>

#include "cli/cli_texts.h"
#include "engine/chips.h"
#include "engine/identification.h"

namespace zorbix {
namespace {

std::string Selections(std::uint8_t masque) {
  std::string texte;
  for (int bits = 0; bits < 8; ++bits)
    if (masque & (1 << bits)) texte += (texte.empty() ? "" : " ") + Hexa2(0xA0 | (bits << 1));
  return texte.empty() ? "aucune" : texte;
}

// "$FFF0 + 17": where a byte of a read was, as the address sent and the
// bytes read after it.
std::string Place(const LectureSonde& l, int position) {
  return (l.OctetsAdresse == 1 ? Hexa2(l.Adresse) : Hexa4(l.Adresse)) +
         (position ? " + " + std::to_string(position) : std::string());
}

std::string Largeur(int octetsAdresse) { return octetsAdresse == 1 ? "un octet" : "deux octets"; }

std::string TexteExclusion(const Identification& id, int type) {
  const Exclusion& e = id.Exclusions[type];
  switch (e.Pourquoi) {
    case Exclusion::Aucune: return "possible";
    case Exclusion::Selections: return "exclue : elle répondrait à " + Selections(SelectionsRepondues(type));
    case Exclusion::AdresseRefusee: {
      const LectureSonde& l = id.Lectures[static_cast<std::size_t>(e.LectureA)];
      return "exclue : elle aurait acquitté l'adresse " + Place(l, 0) + " sur " + Largeur(l.OctetsAdresse);
    }
    case Exclusion::OctetsDifferents: {
      const LectureSonde& a = id.Lectures[static_cast<std::size_t>(e.LectureA)];
      const LectureSonde& b = id.Lectures[static_cast<std::size_t>(e.LectureB)];
      const std::string pa = Place(a, e.PositionA), pb = Place(b, e.PositionB);
      const std::string places = pa == pb ? pa + " lu deux fois y serait" : pa + " et " + pb + " y seraient";
      return "exclue : avec l'adresse sur " + Largeur(a.OctetsAdresse) + ", " + places +
             " le même octet, mais la puce a donné " +
             Hexa2(a.Octets[static_cast<std::size_t>(e.PositionA)]) + " puis " +
             Hexa2(b.Octets[static_cast<std::size_t>(e.PositionB)]);
    }
  }
  return {};
}

// The possible types, smallest first: "24C01, 24C02, PCF8582".
std::string Candidats(const Identification& id, bool seulementPlusPetits) {
  std::string texte;
  for (int taille = 16; taille <= 65536; taille *= 2)
    for (int t = 0; t < NombreTypesMemoire; ++t)
      if (id.Possible(t) && SpecMemoire(t).Taille == taille && (!seulementPlusPetits || taille == id.TailleRetenue))
        texte += (texte.empty() ? "" : ", ") + std::string(SpecMemoire(t).NomCourt);
  return texte;
}

std::string AutresCandidats(const Identification& id) {
  std::string texte;
  for (int t = 0; t < NombreTypesMemoire; ++t)
    if (id.Possible(t) && SpecMemoire(t).Taille != id.TailleRetenue)
      texte += (texte.empty() ? "" : ", ") + std::string(SpecMemoire(t).NomCourt);
  return texte;
}

std::string TexteVerdict(const Identification& id) {
  const std::string retenus = Candidats(id, true);
  const std::string taille = " (" + std::to_string(id.TailleRetenue) + " octets)";
  const bool plusieurs = retenus.find(',') != std::string::npos;
  switch (id.Verdict) {
    case Certitude::AucuneMemoire:
      return "Aucune mémoire ne répond : aucun octet de sélection de $A0 à $AE n'est acquitté.";
    case Certitude::AucunType: return "Aucun des types connus ne répond ainsi.";
    case Certitude::Certaine:
      return "Mémoire identifiée : " + retenus + taille +
             (plusieurs ? " ; la lecture seule ne distingue pas ces types de même taille." : ".");
    case Certitude::Probable:
      return "Mémoire probable : " + retenus + taille + " ; son contenu revient à $0000 après " +
             std::to_string(id.TailleRetenue) + " octets. Une mémoire plus grande (" + AutresCandidats(id) +
             ") dont le contenu se répéterait exactement ainsi répondrait de même.";
    case Certitude::Incertaine:
      return "Identification incertaine : le contenu lu est trop régulier (une mémoire effacée, par exemple) "
             "pour choisir entre " +
             Candidats(id, false) + " ; seule une écriture permettrait de les distinguer.";
  }
  return {};
}

// The probing's operation that did not run to its end (the adapter held by
// another program, or not given back): its message, and the exit code.
int CodeSondage(const Bilan& bilan, const Transfert& t) {
  Issue issue;
  issue.Fin = bilan.Fin;
  issue.Message = bilan.Raison;
  return CodeDeroulement(issue, t, 0);
}

}  // namespace

int Identifier(const Transfert& t) {
  Identification id;
  const Bilan bilan = IdentifierMemoire(*t.Adaptateur, id);
  if (const int code = CodeSondage(bilan, t); code != SortieSucces) return code;
  const SortiesCli& sorties = t.Sorties;
  if (id.Verdict == Certitude::AucuneMemoire) {
    EcrireLigne(sorties.Erreurs, TexteVerdict(id));
    return SortieEchecMemoire;
  }
  sorties.Resultats << "Sélections acquittées : " << Selections(id.SelectionsAcquittees) << '\n';
  for (int type = 0; type < NombreTypesMemoire; ++type)
    sorties.Resultats << SpecMemoire(type).NomCourt << " : " << TexteExclusion(id, type) << '\n';
  if (id.Verdict == Certitude::AucunType) {
    EcrireLigne(sorties.Erreurs, TexteVerdict(id));
    return SortieEchecMemoire;
  }
  sorties.Resultats << "Candidats : " << Candidats(id, false) << '\n';
  EcrireLigne(sorties.Resultats, TexteVerdict(id));
  return SortieSucces;
}

int GarderEcriture(const OptionsCli& options, const Transfert& t) {
  if (options.Forcer) return SortieSucces;
  Identification id;
  const Bilan bilan = IdentifierMemoire(*t.Adaptateur, id);
  if (const int code = CodeSondage(bilan, t); code != SortieSucces) return code;
  const ChipSpec& demandee = SpecMemoire(options.ChipType);
  if (id.Verdict == Certitude::Incertaine || id.Verdict == Certitude::AucunType) {
    EcrireLigne(t.Sorties.Resultats,
                "Identification incertaine de la mémoire présente : l'écriture continue comme " +
                    std::string(demandee.NomCourt) + ".");
    return SortieSucces;
  }
  if (id.TailleRetenue == 0 || id.TailleRetenue >= demandee.Taille) return SortieSucces;
  EcrireLigne(t.Sorties.Erreurs, "La mémoire présente est plus petite que la " + std::string(demandee.NomCourt) +
                                     " demandée. " + TexteVerdict(id) +
                                     "\nRien n'est écrit ; --forcer écrit sans identifier la mémoire.");
  return SortieUsage;
}

}  // namespace zorbix
