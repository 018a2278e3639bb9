// The signals that end a session, taken as a close request of the main
// window: acted on by the event loop once a transfer has ended, a modal box
// answered as cancelled, the settings written, the loop ended with code 0; a
// second signal while closing ends the process.
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <csignal>

#include "main_window_fixture.h"
#include "dialogs/dialogs_qt.h"
#include "shell/stop_signals.h"

namespace zorbix::test {
namespace {

class StopSignalsTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    ASSERT_TRUE(dossier_.isValid());
    env_.FichierReglages = dossier_.filePath("TRAMEX.reg");
  }
  QTemporaryDir dossier_;
};

TEST_F(StopSignalsTest, ActsOnceTheProgrammingHasEndedAndClosesAsQuitterDoes) {
  TForm1& f = Demarrer();
  SignauxArret signaux(&f);
  etat_.Buffer.fill(0x3C);
  bool ouverteApresProgrammation = false;
  QTimer::singleShot(0, &f, [&] {
    std::raise(SIGTERM);  // arrives as the programming starts
    f.ProgrammerMemoire(f.BoutonProgMem);
    ouverteApresProgrammation = f.isVisible();
  });
  EXPECT_EQ(QApplication::exec(), 0);

  EXPECT_TRUE(ouverteApresProgrammation);
  ASSERT_EQ(dialogues_.boites.size(), 1u);
  EXPECT_EQ(dialogues_.boites[0].texte, QString("La programmation s'est correctement déroulée..."));
  EXPECT_FALSE(f.isVisible());
  EXPECT_TRUE(QFile::exists(env_.FichierReglages));
}

TEST_F(StopSignalsTest, AnOpenBoxIsAnsweredAsCancelled) {
  TForm1& f = Demarrer();
  SignauxArret signaux(&f);
  DialoguesQt vraies;
  auto reponse = Dialogues::Reponse::Ok;
  QTimer::singleShot(0, &f, [&] {
    QTimer::singleShot(0, [] { std::raise(SIGHUP); });
    reponse = vraies.Message(&f, "Purger ?", "Purge", Dialogues::Icone::Attention, Dialogues::Boutons::OkAnnuler);
  });
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_EQ(reponse, Dialogues::Reponse::Annuler);
  EXPECT_FALSE(f.isVisible());
  EXPECT_TRUE(QFile::exists(env_.FichierReglages));
}

// The settings cannot be written: the box that says so is open while a second
// signal arrives.
TEST_F(StopSignalsTest, ASecondSignalWhileClosingEndsAtOnce) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  env_.FichierReglages = "/dev/null/TRAMEX.reg";
  EXPECT_EXIT(
      {
        TForm1& f = Demarrer();
        SignauxArret signaux(&f);
        dialogues_.pendantBoite = [] { std::raise(SIGINT); };
        QTimer::singleShot(0, [] { std::raise(SIGINT); });
        QApplication::exec();
        std::exit(0);
      },
      ::testing::KilledBySignal(SIGINT), "");
}

}  // namespace
}  // namespace zorbix::test
