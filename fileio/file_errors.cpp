#include "fileio/file_errors.h"

#include <cerrno>

namespace zorbix {
namespace {

struct Raison {
  int Erreur;
  const char* Texte;
};

constexpr Raison Raisons[] = {
    {ErreurPasFichierOrdinaire, "pas un fichier ordinaire"},
    {ErreurLienCasse, "lien symbolique vers un fichier absent"},
    {ENOENT, "fichier ou dossier introuvable"},
    {ENOTDIR, "un élément du chemin n'est pas un dossier"},
    {ENAMETOOLONG, "nom de fichier trop long"},
    {ELOOP, "trop de niveaux de liens symboliques"},
    {EACCES, "permission refusée"},
    {EPERM, "opération non permise"},
    {EISDIR, "c'est un dossier"},
    {EROFS, "système de fichiers en lecture seule"},
    {ENOSPC, "plus de place sur le disque"},
    {EDQUOT, "quota de disque dépassé"},
    {EFBIG, "fichier trop volumineux"},
    {EIO, "erreur d'entrée-sortie"},
    {EMFILE, "trop de fichiers ouverts"},
    {ENFILE, "trop de fichiers ouverts"},
    {ENOMEM, "mémoire insuffisante"},
    {ETXTBSY, "fichier occupé"},
    {EBUSY, "ressource occupée"},
    {ENXIO, "périphérique absent"},
    {ENODEV, "périphérique absent"},
    {EPIPE, "le lecteur a fermé le tube"},
    {EAGAIN, "ressource momentanément indisponible"},
    {EINVAL, "argument invalide"},
};

}  // namespace

std::string TexteErreurFichier(int erreur) {
  for (const Raison& r : Raisons)
    if (r.Erreur == erreur) return r.Texte;
  return "erreur système " + std::to_string(erreur);
}

bool NomIntrouvable(int erreur) { return erreur == ENOENT || erreur == ENOTDIR || erreur == ENAMETOOLONG; }

std::string PhraseFichierInaccessible(const std::string& nom, int erreur) {
  return "Le fichier " + nom + " existe mais ne peut pas être ouvert : " + TexteErreurFichier(erreur) + ".";
}

}  // namespace zorbix
