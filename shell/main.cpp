// zorbix32: reader and programmer of serial I2C EEPROMs on a parallel-port
// adapter.
#include <QFont>
#include <QGuiApplication>
#include <QScreen>
#include <QLibraryInfo>
#include <QLocale>
#include <QStringList>
#include <QTranslator>
#include <ctime>
#include <iostream>

#include "application.h"
#include "dialogs.h"
#include "engine/port_setup.h"
#include "engine/porttest/port_test_window.h"
#include "infowin/about_window.h"
#include "infowin/help_window.h"
#include "infowin/schema_window.h"
#include "main_window.h"
#include "settings_store.h"
#include "stop_signals.h"

namespace {

// The one per-machine directory of the language file.
constexpr char RepertoireLangue[] = "/etc/zorbix32";

// The whole text after the program's name, as one string: the platform has
// split it into words, which are joined back with one blank each.
QString LigneDeCommande(int argc, char** argv) {
  QStringList mots;
  for (int i = 1; i < argc; ++i) mots << QString::fromLocal8Bit(argv[i]);
  return mots.join(QLatin1Char(' '));
}

// Qt's own French texts, so the standard dialogs and buttons speak French too.
void ChargerTraductionsQt(QApplication& app, QTranslator& traducteur) {
  if (traducteur.load(QLocale(QLocale::French), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    app.installTranslator(&traducteur);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace zorbix;
  auto ports = InstallerPortsOuQuitter(std::cerr);
  Application app(argc, argv);
  DialoguesQt dialogues;
  app.SetDialogues(&dialogues);
  QTranslator traducteur;
  ChargerTraductionsQt(app, traducteur);
  // fontconfig maps "Courier New" to Liberation Mono by itself, not this one.
  QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));

  Application::ExecuterOuAfficherErreur(dialogues, [&] {
    EtatProgramme etat;
    EnvironnementFenetre env;
    env.LigneDeCommande = LigneDeCommande(argc, argv);
    env.Graine = static_cast<std::uint32_t>(std::time(nullptr));
    env.FichierReglages = FichierReglagesUtilisateur();
    env.FichierLangue = QString::fromUtf8(RepertoireLangue) + QStringLiteral("/ZORBIXLG.INI");
    env.Ecran = QGuiApplication::primaryScreen()->size();
    TForm1 fenetre(etat, dialogues, env);
    TForm2 schema(dialogues);
    TForm3 aPropos;
    TForm4 aide;
    fenetre.SetFenetresInformations(&schema, &aPropos, &aide);
    TForm5 testPort(etat.PortBase, [&dialogues] { dialogues.Bip(); });
    fenetre.SetFenetreTestPort(&testPort);
    SignauxArret signaux(&fenetre);
    fenetre.show();
    app.exec();
  });
  const std::string problemes = ports->terminer();
  if (!problemes.empty()) std::cerr << problemes << '\n';
  return 0;
}
