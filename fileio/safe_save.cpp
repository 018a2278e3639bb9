#include "fileio/safe_save.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "fileio/file_errors.h"
#include "fileio/posix_file.h"

namespace zorbix {
namespace {

std::string RepertoireDe(const std::string& chemin) {
  const std::size_t barre = chemin.rfind('/');
  if (barre == std::string::npos) return ".";
  if (barre == 0) return "/";
  return chemin.substr(0, barre);
}

// The file that a save to `nom` should replace: the target of a symbolic
// link rather than the link itself, so that the link survives the rename.
std::string CibleReelle(const std::string& nom) {
  struct stat etat;
  if (::lstat(nom.c_str(), &etat) != 0 || !S_ISLNK(etat.st_mode)) return nom;
  char resolu[PATH_MAX];
  return ::realpath(nom.c_str(), resolu) ? std::string(resolu) : nom;
}

// What a folder answers when it takes no new name from this process.
bool RefusDuDossier(int erreur) { return erreur == EACCES || erreur == EPERM; }

// Creates a new file with a name of our own in `repertoire` and puts that
// name in `nom`; -1 (an empty name, errno telling why) if none could be.
int CreerFichierUnique(const std::string& repertoire, std::string& nom) {
  static unsigned compteur = 0;
  // O_EXCL makes a name already taken fail instead of being reused; mode
  // 0666 lets the umask decide, as for any file the user creates.
  for (int essai = 0; essai < 100; ++essai) {
    nom = repertoire + "/.zorbix-" + std::to_string(::getpid()) + "-" +
          std::to_string(++compteur) + ".tmp";
    const int fd = ::open(nom.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) return fd;
    if (errno != EEXIST) break;
  }
  nom.clear();
  return -1;
}

// A uniquely named new file next to the target. It is removed when the
// object goes away unless RemplacerPar has renamed it over the target.
class FichierTemporaire {
 public:
  explicit FichierTemporaire(const std::string& repertoire);
  ~FichierTemporaire();

  // 0 once created, else why it could not be.
  int Erreur() const { return erreur_; }
  // 0 or the system's error, for the next two.
  int Ecrire(const void* donnees, std::size_t taille) {
    return EcrireTout(fichier_.Fd(), donnees, taille) ? 0 : errno;
  }
  int RemplacerPar(const std::string& cible);

 private:
  std::string nom_;
  Descripteur fichier_;
  int erreur_ = 0;
  bool renomme_ = false;
};

FichierTemporaire::FichierTemporaire(const std::string& repertoire)
    : fichier_(CreerFichierUnique(repertoire, nom_)) {
  if (!fichier_.Ouvert()) erreur_ = errno;
}

FichierTemporaire::~FichierTemporaire() {
  fichier_.Fermer();
  if (!renomme_ && !nom_.empty()) ::unlink(nom_.c_str());
}

int FichierTemporaire::RemplacerPar(const std::string& cible) {
  struct stat ancien;
  if (::stat(cible.c_str(), &ancien) == 0 && ::fchmod(fichier_.Fd(), ancien.st_mode & 07777) != 0) return errno;
  // The data must be on the disk before the name points at it, or a crash
  // right after the rename could leave an empty file under the old name.
  if (::fsync(fichier_.Fd()) != 0 || !fichier_.Fermer()) return errno;
  if (::rename(nom_.c_str(), cible.c_str()) != 0) return errno;
  renomme_ = true;
  // Make the rename itself durable; the new file is complete whatever this
  // reports, so a failure here does not fail the save.
  Descripteur repertoire(::open(RepertoireDe(cible).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (repertoire.Ouvert()) ::fsync(repertoire.Fd());
  return 0;
}

// The normal way. `dossierRefuse` tells that the failure is the folder's: it
// refused the temporary file or the rename over the target.
int RemplacerParTemporaire(const std::string& cible, const void* donnees, std::size_t taille, bool& dossierRefuse) {
  FichierTemporaire temporaire(RepertoireDe(cible));
  int erreur = temporaire.Erreur();
  if (erreur == 0) erreur = temporaire.Ecrire(donnees, taille);
  if (erreur == 0) {
    erreur = temporaire.RemplacerPar(cible);
    dossierRefuse = RefusDuDossier(erreur);
  } else {
    dossierRefuse = RefusDuDossier(temporaire.Erreur());
  }
  return erreur;
}

// Makes sure that `taille` bytes will fit before the first is written: the
// process's file size limit, then the disk's blocks.
int PreparerPlace(int fd, std::size_t taille) {
  rlimit limite;
  if (::getrlimit(RLIMIT_FSIZE, &limite) == 0 && limite.rlim_cur != RLIM_INFINITY && taille > limite.rlim_cur)
    return EFBIG;
  if (taille == 0 || ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(taille)) == 0) return 0;
  // Not every file system reserves space: then the writing will tell.
  return errno == EOPNOTSUPP || errno == ENOSYS ? 0 : errno;
}

// The target rewritten through its own name: opened without truncation, the
// whole image written from its start, cut to its length and synced.
int EcrireEnPlace(const std::string& cible, const void* donnees, std::size_t taille) {
  Descripteur fichier(::open(cible.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (!fichier.Ouvert()) return errno;
  struct stat etat;
  if (::fstat(fichier.Fd(), &etat) != 0) return errno;
  if (!S_ISREG(etat.st_mode)) return ErreurPasFichierOrdinaire;
  const int place = PreparerPlace(fichier.Fd(), taille);
  if (place != 0) return place;
  // From here on, a failure may leave the file damaged: it is reported.
  if (!EcrireTout(fichier.Fd(), donnees, taille) || ::ftruncate(fichier.Fd(), static_cast<off_t>(taille)) != 0 ||
      ::fsync(fichier.Fd()) != 0 || !fichier.Fermer())
    return errno;
  return 0;
}

int Remplacer(const std::string& nom, const void* donnees, std::size_t taille) {
  const int refus = VerifierDestination(nom);
  if (refus != 0) return refus;
  const std::string cible = CibleReelle(nom);
  bool dossierRefuse = false;
  const int erreur = RemplacerParTemporaire(cible, donnees, taille, dossierRefuse);
  // A folder that takes no new name may still hold a file we may write.
  if (erreur != 0 && dossierRefuse && ::access(cible.c_str(), W_OK) == 0)
    return EcrireEnPlace(cible, donnees, taille);
  return erreur;
}

}  // namespace

int VerifierDestination(const std::string& nom) {
  if (nom.empty()) return ENOENT;
  const int refus = VerifierFichierOrdinaire(nom.c_str());
  if (refus == 0) return ::access(nom.c_str(), W_OK) == 0 ? 0 : errno;
  if (refus != ENOENT) return refus;
  // A new file: its folder must be there.
  struct stat dossier;
  if (::stat(RepertoireDe(nom).c_str(), &dossier) != 0) return errno;
  return S_ISDIR(dossier.st_mode) ? 0 : ENOTDIR;
}

bool RemplacerFichier(const std::string& nom, const void* donnees, std::size_t taille, int* erreur) {
  const int resultat = Remplacer(nom, donnees, taille);
  if (erreur) *erreur = resultat;
  // For callers that read errno: our own reasons as the nearest system one.
  if (resultat != 0) errno = resultat > 0 ? resultat : resultat == ErreurLienCasse ? ENOENT : EINVAL;
  return resultat == 0;
}

}  // namespace zorbix
