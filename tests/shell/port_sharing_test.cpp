// The window and zorbix32-cli on one virtual chip file: the window holds the
// chip only during an operation (and while the port test window is open), so
// the command line works in between, and the window, closed later, does not
// undo what the command line programmed.
#include <QPushButton>
#include <QToolButton>
#include <sys/stat.h>

#include <cstdlib>

#include "porttest/port_test_window.h"
#include "engine/sim/simulation_config.h"
#include "main_window_fixture.h"
#include "tests/cli/cli_runs.h"

namespace zorbix::test {
namespace {

std::string Octets(std::size_t n, unsigned graine) {
  std::string s(n, '\0');
  for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 13 + graine + i / 255) & 0xFF);
  return s;
}

class PartageTest : public MainWindowTest, public DossierCli {
 protected:
  PartageTest() : DossierCli("zorbix-partage") {}
  void SetUp() override {
    MainWindowTest::SetUp();
    Ecrire("puce.bin", Octets(2048, 1));
    const std::string valeur = "LPT1:24C16=" + Chemin("puce.bin");
    std::string erreur;
    puce_ = CreerSimulation(valeur, erreur);
    ASSERT_TRUE(puce_) << erreur;
    InstallerBackend(puce_.get());
    setenv("ZORBIX_SIMULATION", valeur.c_str(), 1);
  }
  void TearDown() override {
    testPort_.reset();
    MainWindowTest::TearDown();
    puce_.reset();
  }
  std::unique_ptr<SimulatedBackend> puce_;
  std::unique_ptr<TForm5> testPort_;
};

TEST_F(PartageTest, TheCommandLineProgramsWhileTheWindowIsOpen) {
  TForm1& f = Demarrer();
  const std::string fenetre = Octets(2048, 2), cli = Octets(2048, 3);
  std::copy(fenetre.begin(), fenetre.end(), etat_.Buffer.begin());
  f.BoutonProgMem->click();
  ASSERT_EQ(dialogues_.boites.size(), 1u);
  EXPECT_EQ(Lire("puce.bin"), fenetre);  // written back at the end of the operation
  Ecrire("cli.bin", cli);

  // The port test window holds the chip while it is open.
  testPort_ = std::make_unique<TForm5>(etat_.PortBase, [] {});
  f.SetFenetreTestPort(testPort_.get());
  testPort_->show();
  EXPECT_EQ(Lancer("programmer --puce 24C16 cli.bin").code, 4);
  EXPECT_NE(Lire("erreurs.txt").find("est utilisée par un autre programme"), std::string::npos)
      << Lire("erreurs.txt");
  EXPECT_EQ(Lire("puce.bin"), fenetre);
  testPort_->BoutonTestPortP->click();

  EXPECT_EQ(Lancer("programmer --puce 24C16 cli.bin").code, 0) << Lire("erreurs.txt");
  EXPECT_EQ(Lire("puce.bin"), cli);

  // The window's next read finds the command line's work, even in a file it
  // may not write: nothing changed, nothing written.
  ASSERT_EQ(::chmod(Chemin("puce.bin").c_str(), 0444), 0);
  dialogues_.boites.clear();
  f.BoutonLire->click();
  EXPECT_TRUE(dialogues_.boites.empty()) << dialogues_.boites[0].texte.toStdString();
  EXPECT_EQ(std::string(etat_.Buffer.begin(), etat_.Buffer.begin() + 2048), cli);

  // Closed later, the window writes nothing over it.
  fenetre_->close();
  fenetre_.reset();
  InstallerBackend(nullptr);
  puce_.reset();
  EXPECT_EQ(Lire("puce.bin"), cli);
}

// A chip another program holds: the operation's failure box says so, under
// the operation's caption, and nothing else happens.
TEST_F(PartageTest, AChipHeldElsewhereIsTheOperationsFailure) {
  TForm1& f = Demarrer();
  std::string erreur, raison;
  std::unique_ptr<SimulatedBackend> autre = CreerSimulation(std::getenv("ZORBIX_SIMULATION"), erreur);
  ASSERT_TRUE(autre && autre->prendre(AdresseLPT1, raison)) << erreur << raison;
  const Buffer avant = etat_.Buffer;
  const std::uint64_t acces = puce_->accessCount();
  f.BoutonLire->click();
  ASSERT_EQ(dialogues_.boites.size(), 1u);
  EXPECT_EQ(dialogues_.boites[0].texte.toStdString(),
            "LPT1 : la mémoire simulée " + Chemin("puce.bin") + " est utilisée par un autre programme");
  EXPECT_EQ(dialogues_.boites[0].legende, QStringLiteral("Attention, erreur de lecture !"));
  EXPECT_EQ(etat_.Buffer, avant);
  EXPECT_EQ(puce_->accessCount(), acces);
  EXPECT_TRUE(f.StringGrid1->hasFocus());
  EXPECT_TRUE(autre->rendre(AdresseLPT1, raison));
}

}  // namespace
}  // namespace zorbix::test
