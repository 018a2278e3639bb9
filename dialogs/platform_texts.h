// The few texts that speak of the system the program runs on. On Windows
// they are the program's own (the registry, the Windows clipboard, Paint);
// elsewhere they say what is true there. SystemeCourant is the one place
// where the platform is chosen.
#pragma once

#include <QString>
#include <QtGlobal>

namespace zorbix {

enum class Systeme { Windows, Linux };

#ifdef Q_OS_WIN
constexpr Systeme SystemeCourant = Systeme::Windows;
#else
constexpr Systeme SystemeCourant = Systeme::Linux;
#endif

// The notice after the wiring diagram was copied to the clipboard.
inline QString TexteSchemaCopie(Systeme systeme = SystemeCourant) {
  if (systeme == Systeme::Windows)
    return QStringLiteral(
        "Le schéma de câblage a été copié dans le presse papier de\nWindows...\n\n"
        "Vous pouvez maintenant l'imprimer ou l'enregistrer à partir de\n"
        "n'importe quel programme de retouche d'image, comme par\n"
        "exemple Paint (Démarrer/Programmes/Accessoires).");
  return QStringLiteral(
      "Le schéma de câblage a été copié dans le presse papier du\nsystème...\n\n"
      "Vous pouvez maintenant l'imprimer ou l'enregistrer à partir de\n"
      "n'importe quel programme de retouche d'image, comme par\n"
      "exemple GIMP ou LibreOffice Draw.");
}

// The purge question; `fichier` is the settings file it would delete, as
// the user knows it ("~/.config/KELVANO/TRAMEX.reg"); Windows keeps its
// settings in the registry and names no file.
inline QString TextePurge(const QString& fichier, Systeme systeme = SystemeCourant) {
  const QString suite = QStringLiteral(
      " ; si vous décidez de ne plus l'utiliser, cette option vous permet de le quitter en retirant toutes "
      "les informations qui ont été placées dans %1. En cas d'utilisation ultérieure, le programme "
      "utilisera simplement ses paramètres par défaut (24C16, Buffer ANSI, etc...), comme lors du premier "
      "lancement.\n\nVoulez-vous quitter le programme en %2 ?");
  if (systeme == Systeme::Windows)
    return QStringLiteral("Le programme sauvegarde ses paramètres dans la base de registre de Windows") +
           suite.arg(QStringLiteral("la base"), QStringLiteral("purgeant la base de registre"));
  return QStringLiteral("Le programme sauvegarde ses paramètres dans le fichier %1").arg(fichier) +
         suite.arg(QStringLiteral("ce fichier"), QStringLiteral("supprimant ce fichier"));
}

}  // namespace zorbix
