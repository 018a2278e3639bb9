// The per-user settings store: QSettings over a file in the registry's export
// syntax (registry_text.h), one file standing for the key
// HKEY_CURRENT_USER\Software\KELVANO\TRAMEX, under the user's configuration
// directory (organisation folder KELVANO, file TRAMEX.reg). Value names are
// matched without regard to case and keep their type, a 32-bit number or a
// string, as in the registry.
#pragma once

#include <QString>
#include <QVariant>
#include <optional>
#include <utility>
#include <vector>

namespace zorbix {

inline const QString CleReglages = QStringLiteral("HKEY_CURRENT_USER\\Software\\KELVANO\\TRAMEX");

// $XDG_CONFIG_HOME/KELVANO/TRAMEX.reg (~/.config/KELVANO/TRAMEX.reg).
QString FichierReglagesUtilisateur();

class MagasinReglages {
 public:
  explicit MagasinReglages(QString fichier) : fichier_(std::move(fichier)) {}

  // Reads the store once; a missing or unreadable file leaves it empty.
  void Lire();
  // A value present with the number type, or nothing (absent, or a string).
  std::optional<qint32> Nombre(const QString& nom) const;
  // A value present with the string type, or nothing.
  std::optional<QString> Chaine(const QString& nom) const;

  // Replaces the whole key with `valeurs` (numbers as qint32 or quint32,
  // strings as QString), flushed to disk at once. False if the store
  // refused the writes; the old file is then left as it was.
  bool Ecrire(const std::vector<std::pair<QString, QVariant>>& valeurs);

  // Deletes the key with all its values; the organisation folder stays. A
  // key that is not there is no error.
  void Purger();

 private:
  const QVariant* Trouver(const QString& nom) const;

  QString fichier_;
  std::vector<std::pair<QString, QVariant>> lues_;
};

}  // namespace zorbix
