#include "fileio/safe_save.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// Creates a new file with a name of our own in `repertoire` and puts that
// name in `nom`; -1 (and an empty name) if none could be created.
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

  bool Ouvert() const { return fichier_.Ouvert(); }
  bool Ecrire(const void* donnees, std::size_t taille) {
    return EcrireTout(fichier_.Fd(), donnees, taille);
  }
  bool RemplacerPar(const std::string& cible);

 private:
  std::string nom_;
  Descripteur fichier_;
  bool renomme_ = false;
};

FichierTemporaire::FichierTemporaire(const std::string& repertoire)
    : fichier_(CreerFichierUnique(repertoire, nom_)) {}

FichierTemporaire::~FichierTemporaire() {
  fichier_.Fermer();
  if (!renomme_ && !nom_.empty()) ::unlink(nom_.c_str());
}

bool FichierTemporaire::RemplacerPar(const std::string& cible) {
  struct stat ancien;
  if (::stat(cible.c_str(), &ancien) == 0 &&
      ::fchmod(fichier_.Fd(), ancien.st_mode & 07777) != 0)
    return false;
  // The data must be on the disk before the name points at it, or a crash
  // right after the rename could leave an empty file under the old name.
  if (::fsync(fichier_.Fd()) != 0 || !fichier_.Fermer()) return false;
  if (::rename(nom_.c_str(), cible.c_str()) != 0) return false;
  renomme_ = true;
  // Make the rename itself durable; the new file is complete whatever this
  // reports, so a failure here does not fail the save.
  Descripteur repertoire(::open(RepertoireDe(cible).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (repertoire.Ouvert()) ::fsync(repertoire.Fd());
  return true;
}

}  // namespace

bool RemplacerFichier(const std::string& nom, const void* donnees, std::size_t taille) {
  const std::string cible = CibleReelle(nom);
  if (cible.empty()) return false;
  if (::access(cible.c_str(), W_OK) != 0 && errno != ENOENT) return false;
  FichierTemporaire temporaire(RepertoireDe(cible));
  return temporaire.Ouvert() && temporaire.Ecrire(donnees, taille) &&
         temporaire.RemplacerPar(cible);
}

}  // namespace zorbix
