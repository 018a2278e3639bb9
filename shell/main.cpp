// zorbix32: reader and programmer of serial I2C EEPROMs on a parallel-port
// adapter.
#include <QGuiApplication>
#include <QIcon>
#include <QScreen>
#include <QStringList>
#include <ctime>
#include <iostream>

#include "application.h"
#include "dialogs/dialogs_qt.h"
#include "engine/backends/port_setup.h"
#include "french_desktop.h"
#include "porttest/port_test_window.h"
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

}  // namespace

int main(int argc, char** argv) {
  using namespace zorbix;
  auto ports = InstallerPortsOuQuitter(std::cerr);
  ChoisirLocaleFrancaise();
  Application app(argc, argv);
  // The application's icon, the one its desktop entry names: every window,
  // box and dialog shows it.
  Q_INIT_RESOURCE(icons);
  app.setWindowIcon(QIcon(QStringLiteral(":/icons/zorbix32.svg")));
  InstallerFrancais(app);
  DialoguesQt dialogues;
  app.SetDialogues(&dialogues);

  Application::ExecuterOuAfficherErreur(dialogues, [&] {
    EtatProgramme etat;
    EnvironnementFenetre env;
    env.LigneDeCommande = LigneDeCommande(argc, argv);
    env.Graine = static_cast<std::uint32_t>(std::time(nullptr));
    env.FichierReglages = FichierReglagesUtilisateur();
    env.FichierLangue = QString::fromUtf8(RepertoireLangue) + QStringLiteral("/ZORBIXLG.INI");
    env.Ecran = QGuiApplication::primaryScreen()->size();
    env.AutresPorts = ports->supplementaires();
    env.Ports = ports->ports();
    TForm1 fenetre(etat, dialogues, env);
    TForm2 schema(dialogues);
    TForm3 aPropos;
    TForm4 aide;
    fenetre.SetFenetresInformations(&schema, &aPropos, &aide);
    TForm5 testPort(etat.PortBase, [&dialogues] { dialogues.Bip(); });
    testPort.DefinirAutresPorts(ports->supplementaires());
    fenetre.SetFenetreTestPort(&testPort);
    SignauxArret signaux(&fenetre);
    fenetre.show();
    app.exec();
  });
  const std::string problemes = ports->terminer();
  if (!problemes.empty()) std::cerr << problemes << '\n';
  return 0;
}
