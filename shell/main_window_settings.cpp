// The settings that persist from one run to the next: read once while the
// window is created, written once when it closes, or deleted by the purge.
#include <QComboBox>
#include <QDir>
#include <QFileInfo>

#include "dialogs/dialogs.h"
#include "dialogs/platform_texts.h"
#include "main_window.h"
#include "settings_store.h"

namespace zorbix {
namespace {

// A left edge below -200 and a top edge below -20 come back to 0; then
// neither may go past the screen's size less 40.
int Borner(int valeur, int minimum, int taille) {
  if (valeur < minimum) valeur = 0;
  return valeur > taille - 40 ? taille - 40 : valeur;
}

// The settings file as the user knows it, under "~".
QString NomPourUtilisateur(const QString& fichier) {
  const QString maison = QDir::homePath();
  if (fichier.startsWith(maison + QLatin1Char('/'))) return QLatin1Char('~') + fichier.mid(maison.size());
  return fichier;
}

}  // namespace

void TForm1::LireReglages() {
  if (fichierReglages_.isEmpty()) return;
  MagasinReglages magasin(fichierReglages_);
  magasin.Lire();

  if (const auto port = magasin.Nombre(QString::fromUtf8(NomReglagePort)))
    ChoisirPort(IdentiteDepuisReglage(*port, autresPorts_));
  // A CH341A by its USB path (kept while unplugged: it may come back), an
  // I2C bus by its name when it is there.
  if (const auto adaptateur = magasin.Chaine(QString::fromUtf8(NomReglageAdaptateur))) {
    std::string erreur;
    if (const auto port = LireIdentitePort(adaptateur->toStdString(), autresPorts_, AutresAdaptateurs(), erreur))
      ChoisirPort(*port);
  }
  AppliquerReglagesAdaptateur(magasin.Nombre(QStringLiteral("Vitesse_CH341A")).value_or(100),
                              magasin.Nombre(QStringLiteral("Broches_Adresse")).value_or(0));
  if (const auto type = magasin.Nombre(QStringLiteral("Type_Memoire"))) {
    const int t = *type >= 0 && *type < NombreTypesMemoire ? *type : TypeMemoireParDefaut;
    Etat.ChipType = t;
    const QSignalBlocker silence(ComboBox);
    ComboBox->setCurrentIndex(t);
    Etat.ChipSize = SpecMemoire(t).Taille;
    OptionsMemoire[t]->setChecked(true);
  }
  if (const auto page = magasin.Nombre(QStringLiteral("Mode_Page"))) Etat.WriteMode = *page != 0;
  if (const auto verifier = magasin.Nombre(QStringLiteral("Verifier_Programmation"))) {
    Etat.VerifierProgrammation = *verifier != 0;
    OptionVerification->setChecked(Etat.VerifierProgrammation);
  }
  if (const auto ansi = magasin.Nombre(QStringLiteral("Buffer_ANSI")))
    Etat.CharsetMode = *ansi != 0 ? JeuCaracteres::Ansi : JeuCaracteres::Oem;
  if (const auto x = magasin.Nombre(QStringLiteral("X_origine"))) Etat.OrigineX = Borner(*x, -200, ecran_.width());
  if (const auto y = magasin.Nombre(QStringLiteral("Y_origine"))) Etat.OrigineY = Borner(*y, -20, ecran_.height());
  if (const auto nom = magasin.Chaine(QStringLiteral("Nom_Fichier"))) Etat.NomFichier = *nom;
  if (const auto filtre = magasin.Nombre(QStringLiteral("Type_Fichier"))) {
    if (*filtre >= 1 && *filtre <= 4) Etat.FiltreOuverture = Etat.FiltreSauvegarde = *filtre;
  }
  if (const auto langue = magasin.Nombre(QStringLiteral("Charger_Langue"))) Etat.LangueAuLancement = *langue != 0;
}

void TForm1::EnregistrerReglages() {
  if (fichierReglages_.isEmpty()) return;
  MagasinReglages magasin(fichierReglages_);
  if (!Etat.SauverReglages) {
    magasin.Purger();
    dialogues_.Bip();
    return;
  }
  const auto nombre = [](int v) { return QVariant::fromValue(static_cast<qint32>(v)); };
  std::vector<std::pair<QString, QVariant>> valeurs{
      {QString::fromUtf8(NomReglagePort), nombre(static_cast<int>(ValeurReglage(IdentiteDuPort(Etat.PortBase, autresPorts_))))},
      {QStringLiteral("Type_Memoire"), nombre(ComboBox->currentIndex())},
      {QStringLiteral("Mode_Page"), nombre(Etat.WriteMode ? 1 : 0)},
      {QStringLiteral("Buffer_ANSI"), nombre(Etat.CharsetMode == JeuCaracteres::Ansi ? 1 : 0)},
      {QStringLiteral("X_origine"), nombre(pos().x())},
      {QStringLiteral("Y_origine"), nombre(pos().y())},
      {QStringLiteral("Nom_Fichier"), Etat.NomFichier},
      {QStringLiteral("Type_Fichier"), nombre(Etat.FiltreSauvegarde)},
      {QStringLiteral("Charger_Langue"), nombre(Etat.LangueAuLancement ? 1 : 0)},
  };
  // Absent means off: the value is written only once the user turned the
  // verification on, so the file of a user who never did keeps its nine values.
  if (Etat.VerifierProgrammation) valeurs.push_back({QStringLiteral("Verifier_Programmation"), nombre(1)});
  // The same for the other adapters' settings: written once they differ
  // from the defaults, or once a CH341A or an I2C bus was chosen.
  if (const std::string adaptateur = ValeurReglageAdaptateur(PortChoisi()); !adaptateur.empty())
    valeurs.push_back({QString::fromUtf8(NomReglageAdaptateur), QString::fromStdString(adaptateur)});
  if (vitesseKHz_ != 100) valeurs.push_back({QStringLiteral("Vitesse_CH341A"), nombre(vitesseKHz_)});
  if (broches_ != 0) valeurs.push_back({QStringLiteral("Broches_Adresse"), nombre(broches_)});
  const bool ecrit = magasin.Ecrire(valeurs);
  // A store that refuses the writes is told, and the program still ends. The
  // old file, when there is one, is left as it was: the next start reads it.
  if (!ecrit)
    dialogues_.Message(this,
                       QStringLiteral("Les réglages n'ont pas pu être enregistrés dans\n%1\n\n%2")
                           .arg(fichierReglages_,
                                QFileInfo::exists(fichierReglages_)
                                    ? QStringLiteral("Les réglages enregistrés auparavant seront repris au "
                                                     "prochain lancement.")
                                    : QStringLiteral("Ils seront ceux par défaut au prochain lancement.")),
                       QStringLiteral("Erreur d'enregistrement des réglages..."));
}

void TForm1::PurgerQuitterClick() {
  const QString fichier = fichierReglages_.isEmpty() ? FichierReglagesUtilisateur() : fichierReglages_;
  const auto reponse = dialogues_.Message(this, TextePurge(NomPourUtilisateur(fichier)),
                                          QStringLiteral(" Purger le registre et quitter..."),
                                          Dialogues::Icone::Attention, Dialogues::Boutons::OkAnnuler);
  if (reponse != Dialogues::Reponse::Ok) return;
  Etat.SauverReglages = false;
  close();
}

void TForm1::OptionLangueClick() {
  Etat.LangueAuLancement = !Etat.LangueAuLancement;
  OptionLangue->setChecked(Etat.LangueAuLancement);
}

void TForm1::ConnecterReglages() {
  connect(PurgerQuitter, &QAction::triggered, this, [this] { PurgerQuitterClick(); });
  connect(OptionLangue, &QAction::triggered, this, [this] { OptionLangueClick(); });
}

}  // namespace zorbix
