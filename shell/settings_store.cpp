#include "settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include "registry_text.h"

namespace zorbix {
namespace {

// The order of a written file: the values in the order they are given.
// QSettings hands the writer a map sorted by name, so the order travels in a
// value of its own, which the writer does not write.
const QString kOrdre = QStringLiteral("__ordre__");

bool LireFormat(QIODevice& appareil, QSettings::SettingsMap& carte) {
  const QByteArray texte = appareil.readAll();
  for (const auto& [nom, v] : LireTexteRegistre(texte.toStdString(), CleReglages.toStdString())) {
    const QString n = QString::fromStdString(nom);
    if (v.type == ValeurRegistre::Type::Nombre)
      carte.insert(n, QVariant::fromValue(static_cast<qint32>(v.nombre)));
    else
      carte.insert(n, QString::fromStdString(v.chaine));
  }
  return true;
}

bool EcrireFormat(QIODevice& appareil, const QSettings::SettingsMap& carte) {
  ValeursRegistre valeurs;
  for (const QString& nom : carte.value(kOrdre).toStringList()) {
    const QVariant v = carte.value(nom);
    ValeurRegistre r;
    if (v.typeId() == QMetaType::QString) {
      r.type = ValeurRegistre::Type::Chaine;
      r.chaine = v.toString().toStdString();
    } else {
      r.nombre = static_cast<std::uint32_t>(v.toLongLong());
    }
    valeurs.emplace_back(nom.toStdString(), r);
  }
  const std::string texte = EcrireTexteRegistre(CleReglages.toStdString(), valeurs);
  return appareil.write(texte.data(), static_cast<qint64>(texte.size())) == static_cast<qint64>(texte.size());
}

QSettings::Format FormatRegistre() {
  static const QSettings::Format format = QSettings::registerFormat(QStringLiteral("reg"), LireFormat, EcrireFormat);
  return format;
}

}  // namespace

QString FichierReglagesUtilisateur() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
         QStringLiteral("/KELVANO/TRAMEX.reg");
}

void MagasinReglages::Lire() {
  lues_.clear();
  QSettings s(fichier_, FormatRegistre());
  for (const QString& nom : s.allKeys()) lues_.emplace_back(nom, s.value(nom));
}

const QVariant* MagasinReglages::Trouver(const QString& nom) const {
  for (const auto& [n, v] : lues_)
    if (n.compare(nom, Qt::CaseInsensitive) == 0) return &v;
  return nullptr;
}

std::optional<qint32> MagasinReglages::Nombre(const QString& nom) const {
  const QVariant* v = Trouver(nom);
  if (!v || v->typeId() == QMetaType::QString) return std::nullopt;
  return static_cast<qint32>(v->toLongLong());
}

std::optional<QString> MagasinReglages::Chaine(const QString& nom) const {
  const QVariant* v = Trouver(nom);
  if (!v || v->typeId() != QMetaType::QString) return std::nullopt;
  return v->toString();
}

bool MagasinReglages::Ecrire(const std::vector<std::pair<QString, QVariant>>& valeurs) {
  if (!QDir().mkpath(QFileInfo(fichier_).absolutePath())) return false;
  QSettings s(fichier_, FormatRegistre());
  s.clear();
  QStringList ordre;
  for (const auto& [nom, v] : valeurs) {
    s.setValue(nom, v);
    ordre << nom;
  }
  s.setValue(kOrdre, ordre);
  s.sync();
  return s.status() == QSettings::NoError;
}

void MagasinReglages::Purger() { QFile::remove(fichier_); }

}  // namespace zorbix
