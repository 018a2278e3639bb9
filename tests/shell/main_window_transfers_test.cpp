// Reading, programming, comparing and the autodetection through the real
// handlers, against the simulated adapter: the bar's painted positions, the
// boxes and what the window shows while they are open, what the chip holds.
#include <QProgressBar>
#include <QToolButton>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>

#include "../engine/bus_transactions.h"
#include "engine/sim/simulated_message_adapters.h"
#include "engine/transfer_messages.h"
#include "main_window_fixture.h"

namespace zorbix::test {
namespace {

const QString EnCours = QStringLiteral("Programmation en cours");
const QString Reussie = QStringLiteral("La programmation s'est correctement déroulée...");
const QString Interrompue =
    QStringLiteral("Programmation interrompue : \nproblème de communication avec la mémoire EEPROM...");
const QString Absente = QStringLiteral(
    "Programmation impossible ou erronée: \nla mémoire EEPROM est absente, défectueuse ou mal insérée...\n\n"
    "Si le problème surgit en cours de programmation, vérifiez que\nle type de mémoire sélectionné correspond "
    "bien à l'EEPROM\nprésente physiquement...");
const QString DeLaMemoire = QStringLiteral("Programmation de la mémoire :");

// The positions the bar was painted at while the status box showed `statut`.
class PositionsPeintes : public QObject {
 public:
  PositionsPeintes(TForm1& f, QString statut) : f_(f), statut_(std::move(statut)) {
    f.ProgressBar->installEventFilter(this);
  }
  std::vector<int> positions;

  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint && f_.StaticTextInfo->text() == statut_) {
      const int v = f_.ProgressBar->value();
      if (positions.empty() || positions.back() != v) positions.push_back(v);
    }
    return false;
  }

 private:
  TForm1& f_;
  QString statut_;
};

// What the window showed while a message box was open.
struct PendantLaBoite {
  int barre;
  QString statut;
  bool fondNoir;
  std::uint8_t donnees;
};

std::vector<int> Suite(int debut, int pas, int fin, int finale) {
  std::vector<int> p;
  for (int a = debut; a < fin; a += pas) p.push_back(a);
  p.push_back(finale);
  return p;
}

class TransfersTest : public MainWindowTest {
 protected:
  EepromModel* Inserer(int type) {
    EepromModel* puce = adaptateur_->insertChip(EepromModel::create(type));
    std::mt19937 g(type + 11u);
    for (auto& b : puce->memory()) b = static_cast<std::uint8_t>(g());
    return puce;
  }
  void RemplirBuffer(unsigned graine) {
    std::mt19937 g(graine);
    for (auto& b : etat_.Buffer) b = static_cast<std::uint8_t>(g());
    F().AfficherBuffer(etat_.Buffer, etat_.ChipSize);
  }
  // Notes what the window shows while the next boxes are open.
  void Observer() {
    dialogues_.pendantBoite = [this] {
      const QColor fond = F().StaticTextInfo->palette().color(QPalette::Window);
      vu_ = {F().ProgressBar->value(), F().StaticTextInfo->text(), fond == Qt::black, LirePort(AdresseLPT1)};
    };
  }
  bool BufferEgalPuce(EepromModel& puce, int taille) {
    const auto& m = puce.memory();
    for (int i = 0; i < taille; ++i)
      if (etat_.Buffer[i] != m[i % m.size()]) return false;
    return true;
  }
  void VerifierRepos() {
    EXPECT_EQ(F().ProgressBar->value(), 0);
    EXPECT_TRUE(F().StaticTextInfo->text().isEmpty());
    EXPECT_NE(F().StaticTextInfo->palette().color(QPalette::Window), QColor(Qt::black));
    EXPECT_TRUE(F().StringGrid1->hasFocus());
    EXPECT_EQ(LirePort(AdresseLPT1), 0x06);
  }
  void VerifierBoite(const QString& texte, const QString& legende) {
    ASSERT_EQ(dialogues_.boites.size(), 1u);
    EXPECT_EQ(dialogues_.boites[0].texte, texte);
    EXPECT_EQ(dialogues_.boites[0].legende, legende);
    EXPECT_EQ(dialogues_.boites[0].icone, Dialogues::Icone::Aucune);
    dialogues_.boites.clear();
  }

  PendantLaBoite vu_;
};

TEST_F(TransfersTest, ReadFillsBufferAndGridWithTheBarAt32Steps) {
  TForm1& f = Demarrer();
  EepromModel* puce = Inserer(6);
  PositionsPeintes peintes(f, QStringLiteral("Lecture de la mémoire..."));
  f.BoutonLire->click();
  EXPECT_EQ(peintes.positions, Suite(63, 64, 2047, 2048));
  EXPECT_TRUE(BufferEgalPuce(*puce, 2048));
  EXPECT_EQ(Cellule(2 + 3, 1), QString::asprintf("%02X", puce->memory()[3]));
  EXPECT_EQ(Cellule(2 + 15, 128), QString::asprintf("%02X", puce->memory()[2047]));
  EXPECT_TRUE(dialogues_.boites.empty());
  VerifierRepos();

  // A 24C02 read with the 24C04 selected: its contents twice over.
  puce = Inserer(3);
  Choisir(4);
  Touche(f.StringGrid1, Qt::Key_L, Qt::ControlModifier);
  EXPECT_TRUE(BufferEgalPuce(*puce, 512));
  EXPECT_TRUE(std::equal(etat_.Buffer.begin(), etat_.Buffer.begin() + 256, etat_.Buffer.begin() + 256));
  VerifierRepos();
}

TEST_F(TransfersTest, EmptySocketForAllThreeOperations) {
  TForm1& f = Demarrer();
  adaptateur_->takeChip();
  RemplirBuffer(1);
  const Buffer avant = etat_.Buffer;
  const QString cellule = Cellule(2 + 7, 9);
  Observer();
  f.OptionLire->trigger();
  VerifierBoite(QStringLiteral("Lecture impossible :\nVérifiez que l'insertion de la mémoire est correcte.\n"),
                QStringLiteral("Attention, erreur de lecture !"));
  EXPECT_EQ(vu_.donnees, 0x06);  // the box comes after the power-down
  EXPECT_EQ(etat_.Buffer, avant);
  EXPECT_EQ(Cellule(2 + 7, 9), cellule);
  VerifierRepos();

  f.BoutonProgMem->click();
  VerifierBoite(Absente, DeLaMemoire);
  VerifierRepos();
  f.BoutonComparer->click();
  VerifierBoite(QStringLiteral("Erreur de communication avec la mémoire..."),
                QStringLiteral("Comparaison Buffer / Mémoire :"));
  EXPECT_EQ(vu_.statut, QStringLiteral("Comparaison terminée"));
  EXPECT_EQ(etat_.Buffer, avant);
  VerifierRepos();
}

// A port that nothing serves: each failure box adds the start-up report's
// line for it, since a desktop user never sees standard error.
TEST_F(TransfersTest, FailuresOnAPortNothingServesGiveTheStartUpReason) {
  const QString raison = QStringLiteral("\n\nLPT3 (0x3BC) : aucun port (simulation)");
  const std::vector<IdentitePort> ports = PortsParalleles({});
  env_.Ports = {{ports[0], "LPT1 (0x378) : sim", false}, {ports[2], "LPT3 (0x3BC) : aucun port (simulation)", true}};
  TForm1& f = Demarrer();
  adaptateur_->takeChip();
  f.OptionLire->trigger();  // LPT1 is served: the text as it is
  VerifierBoite(QStringLiteral("Lecture impossible :\nVérifiez que l'insertion de la mémoire est correcte.\n"),
                QStringLiteral("Attention, erreur de lecture !"));
  f.OptionLPT3->trigger();
  f.OptionLire->trigger();
  VerifierBoite(QStringLiteral("Lecture impossible :\nVérifiez que l'insertion de la mémoire est correcte.") + raison,
                QStringLiteral("Attention, erreur de lecture !"));
  f.BoutonProgMem->click();
  VerifierBoite(Absente + raison, DeLaMemoire);
  f.BoutonComparer->click();
  VerifierBoite(QStringLiteral("Erreur de communication avec la mémoire...") + raison,
                QStringLiteral("Comparaison Buffer / Mémoire :"));
  adaptateur_->setNothingAttached(true);
  f.Autodetection->trigger();
  VerifierBoite(QStringLiteral("Erreur : le programmateur n'est pas connecté...") + raison,
                QStringLiteral("Autodétection du Port // :"));
}

TEST_F(TransfersTest, ByteByByteProgrammingMovesTheBarAt64Steps) {
  TForm1& f = Demarrer();
  EepromModel* puce = Inserer(6);
  f.OptionModePageNon->trigger();
  RemplirBuffer(2);
  Observer();
  PositionsPeintes peintes(f, EnCours);
  f.BoutonProgMem->click();
  EXPECT_EQ(peintes.positions, Suite(31, 32, 2048, 2048));
  VerifierBoite(Reussie, DeLaMemoire);
  EXPECT_EQ(vu_.statut, QStringLiteral("Programmation terminée"));
  EXPECT_TRUE(vu_.fondNoir);
  EXPECT_EQ(vu_.barre, 2048);
  EXPECT_EQ(vu_.donnees, 0x06);
  EXPECT_EQ(Ecritures(adaptateur_->transcript()).size(), 2048u);
  EXPECT_TRUE(BufferEgalPuce(*puce, 2048));
  VerifierRepos();
}

// The 24C00 has pages of one byte; the 24C512 is written in pages even with
// byte-by-byte chosen.
TEST_F(TransfersTest, PageProgrammingMovesTheBarAtEveryPage) {
  TForm1& f = Demarrer();
  for (const auto& [type, page] : {std::pair{1, 1}, std::pair{11, 128}}) {
    const int taille = SpecMemoire(type).Taille;
    EepromModel* puce = Inserer(type);
    adaptateur_->clearTranscript();
    if (type == 11) f.OptionModePageNon->trigger();
    Choisir(type);
    RemplirBuffer(3);
    PositionsPeintes peintes(f, EnCours);
    Touche(f.StringGrid1, Qt::Key_M, Qt::ControlModifier);
    EXPECT_EQ(peintes.positions, Suite(0, page, taille, taille));
    EXPECT_EQ(static_cast<int>(Ecritures(adaptateur_->transcript()).size()), taille / page);
    VerifierBoite(Reussie, DeLaMemoire);
    EXPECT_EQ(etat_.WriteMode, type == 1);
    EXPECT_TRUE(BufferEgalPuce(*puce, taille));
    VerifierRepos();
  }
}

TEST_F(TransfersTest, ProgrammingStopsAtTheFirstFailure) {
  TForm1& f = Demarrer();
  Observer();
  // A 24C02 with the 24C04 selected: its first 256 bytes go out in pages of
  // 16, all taken (the chip's own page of 8 keeps the second half of each),
  // and the page at 0x100 is refused at its device-select byte 0xA2.
  Inserer(3);
  Choisir(4);
  RemplirBuffer(4);
  f.OptionProgramMem->trigger();
  VerifierBoite(Absente, DeLaMemoire);
  EXPECT_EQ(vu_.barre, 0x100);
  const auto ecritures = Ecritures(adaptateur_->transcript());
  ASSERT_EQ(ecritures.size(), 17u);
  for (int j = 0; j < 16; ++j) {
    std::vector<std::string> attendu = {"A0+", QString::asprintf("%02X+", 16 * j).toStdString()};
    for (int i = 0; i < 16; ++i) attendu.push_back(QString::asprintf("%02X+", etat_.Buffer[16 * j + i]).toStdString());
    EXPECT_EQ(ecritures[j].octets, attendu);
  }
  EXPECT_EQ(ecritures.back().octets, std::vector<std::string>{"A2-"});
  VerifierRepos();

  // A chip that never ends its write cycle.
  Inserer(6)->setNeverEndsWriteCycle(true);
  Choisir(6);
  f.BoutonProgMem->click();
  VerifierBoite(Interrompue, DeLaMemoire);
  EXPECT_EQ(vu_.barre, 0);
  VerifierRepos();

  // A chip pulled out while the page at 0x40 goes out.
  const std::vector<std::uint8_t> ancien = Inserer(6)->memory();
  QObject::connect(f.ProgressBar, &QProgressBar::valueChanged, f.ProgressBar, [this](int v) {
    if (v == 0x40) adaptateur_->removeChipAfter(300);
  });
  adaptateur_->clearTranscript();
  f.BoutonProgMem->click();
  VerifierBoite(Interrompue, DeLaMemoire);
  EXPECT_EQ(vu_.barre, 0x40);
  // Its first data byte went unanswered, and nothing was sent after it.
  const auto envoyees = Ecritures(adaptateur_->transcript());
  ASSERT_EQ(envoyees.size(), 5u);
  EXPECT_EQ(envoyees[4].octets,
            (std::vector<std::string>{"A0+", "40+", QString::asprintf("%02X-", etat_.Buffer[0x40]).toStdString()}));
  EXPECT_EQ(envoyees[4].scrutations, 0);
  const auto& retiree = adaptateur_->removedChip()->memory();
  EXPECT_TRUE(std::equal(retiree.begin(), retiree.begin() + 0x40, etat_.Buffer.begin()));
  EXPECT_TRUE(std::equal(retiree.begin() + 0x40, retiree.end(), ancien.begin() + 0x40));
  VerifierRepos();
}

TEST_F(TransfersTest, OneByteOfAPcf8582) {
  TForm1& f = Demarrer();
  EepromModel* puce = Inserer(0);
  const std::vector<std::uint8_t> avant = puce->memory();
  Choisir(0);
  etat_.Buffer.fill(0x00);
  etat_.Buffer[0x10] = 0x42;
  f.AfficherBuffer(etat_.Buffer, etat_.ChipSize);
  ASSERT_TRUE(Grille().setCurrentCell(2, 2));  // address 0x10
  Observer();
  Touche(f.StringGrid1, Qt::Key_P, Qt::ControlModifier);
  VerifierBoite(Reussie, QStringLiteral("Programmation d'un octet :"));
  EXPECT_EQ(vu_.barre, 256);
  const auto ecritures = Ecritures(adaptateur_->transcript());
  ASSERT_EQ(ecritures.size(), 1u);
  EXPECT_EQ(ecritures[0].octets, (std::vector<std::string>{"A0+", "10+", "42+"}));
  EXPECT_TRUE(ecritures[0].finVue);
  std::vector<std::uint8_t> attendu = avant;
  attendu[0x10] = 0x42;
  EXPECT_EQ(puce->memory(), attendu);
  VerifierRepos();
  f.BoutonProgOctet->click();
  VerifierBoite(Reussie, QStringLiteral("Programmation d'un octet :"));
}

TEST_F(TransfersTest, CompareCountsTheDifferingBytes) {
  TForm1& f = Demarrer();
  EepromModel* puce = Inserer(6);
  std::copy(puce->memory().begin(), puce->memory().end(), etat_.Buffer.begin());
  f.AfficherBuffer(etat_.Buffer, etat_.ChipSize);
  Observer();
  PositionsPeintes peintes(f, QStringLiteral("Comparaison en cours..."));
  f.BoutonComparer->click();
  EXPECT_EQ(peintes.positions, Suite(63, 64, 2047, 2048));
  VerifierBoite(QStringLiteral("Aucune différence entre le buffer et l'EEPROM..."),
                QStringLiteral("Comparaison Buffer / Mémoire :"));
  EXPECT_EQ(vu_.statut, QStringLiteral("Comparaison terminée"));
  EXPECT_TRUE(vu_.fondNoir);
  VerifierRepos();

  for (int a : {0x000, 0x400, 0x7FF}) etat_.Buffer[a] ^= 0x01;
  const Buffer image = etat_.Buffer;
  Touche(f.StringGrid1, Qt::Key_C, Qt::ControlModifier);
  VerifierBoite(QStringLiteral("3 octet(s) différent(s) sur un total de 2048 !"),
                QStringLiteral("Comparaison Buffer / Mémoire :"));
  EXPECT_EQ(etat_.Buffer, image);
  EXPECT_EQ(dialogues_.bips, 0);
  VerifierRepos();
}

TEST_F(TransfersTest, CompareWithoutScratchAreaOnlyBeeps) {
  TForm1& f = Demarrer();
  f.AllouerZoneComparaison = [](std::size_t) { return ZoneTravail(); };
  f.ProgressBar->setValue(0);
  sim_.setRecording(true);
  f.OptionComparer->trigger();
  EXPECT_EQ(dialogues_.bips, 1);
  EXPECT_TRUE(dialogues_.boites.empty());
  EXPECT_TRUE(sim_.record().empty());
  EXPECT_TRUE(f.StaticTextInfo->text().isEmpty());
  EXPECT_TRUE(f.StringGrid1->hasFocus());
}

TEST_F(TransfersTest, AutodetectionTakesTheLastPortWithTheLoopBack) {
  TForm1& f = Demarrer();
  const QString trouve = QStringLiteral("Adresse du port actif :");
  // LPT1 with nothing attached reads 0xFF; LPT2's adapter has an empty socket.
  adaptateur_->setNothingAttached(true);
  sim_.addAdapter(AdresseLPT2);
  bool lpt1CocheeDurantLaBoite = false;
  dialogues_.pendantBoite = [&] { lpt1CocheeDurantLaBoite = f.OptionLPT1->isChecked(); };
  Touche(f.StringGrid1, Qt::Key_A, Qt::ControlModifier);
  VerifierBoite(QStringLiteral("Le programmateur a été détecté sur LPT2 (à l'adresse $278)..."), trouve);
  EXPECT_TRUE(lpt1CocheeDurantLaBoite);  // the item is checked after the box
  EXPECT_EQ(etat_.PortBase, AdresseLPT2);
  EXPECT_TRUE(f.OptionLPT2->isChecked());
  EXPECT_TRUE(f.StringGrid1->hasFocus());
  EXPECT_EQ(LirePort(AdresseLPT2), 0x06);

  adaptateur_->setNothingAttached(false);
  sim_.adapter(AdresseLPT2)->setNothingAttached(true);
  sim_.addAdapter(AdresseLPT3);
  f.Autodetection->trigger();
  VerifierBoite(QStringLiteral("Le programmateur a été détecté sur LPT3 (à l'adresse $3BC)..."), trouve);
  EXPECT_EQ(etat_.PortBase, AdresseLPT3);
  EXPECT_TRUE(f.OptionLPT3->isChecked());

  f.OptionLPT2->trigger();
  for (std::uint16_t p : AdressesPorts) sim_.adapter(p)->setNothingAttached(true);
  f.Autodetection->trigger();
  VerifierBoite(QStringLiteral("Erreur : le programmateur n'est pas connecté..."),
                QStringLiteral("Autodétection du Port // :"));
  EXPECT_EQ(etat_.PortBase, AdresseLPT2);
  EXPECT_TRUE(f.OptionLPT2->isChecked());
  EXPECT_TRUE(f.StringGrid1->hasFocus());
}

// A 24C01 with the 24C02 selected takes every byte, its upper half wrapping
// onto its lower half: programming alone reports success, the verification
// finds the bytes the wrap overwrote.
TEST_F(TransfersTest, VerificationAfterProgrammingFindsASmallerChip) {
  TForm1& f = Demarrer();
  EXPECT_FALSE(f.OptionVerification->isChecked());
  Inserer(2);
  Choisir(3);
  RemplirBuffer(5);
  f.BoutonProgMem->click();
  VerifierBoite(Reussie, DeLaMemoire);

  f.OptionVerification->trigger();
  EXPECT_TRUE(etat_.VerifierProgrammation);
  int ecrasees = 0;
  for (int i = 0; i < 128; ++i) ecrasees += etat_.Buffer[i] != etat_.Buffer[i + 128];
  ASSERT_GT(ecrasees, 0);
  Observer();
  PositionsPeintes peintes(f, QStringLiteral("Vérification en cours"));
  Touche(f.StringGrid1, Qt::Key_M, Qt::ControlModifier);
  EXPECT_EQ(peintes.positions, Suite(7, 8, 255, 256));
  VerifierBoite(QStringLiteral("La vérification a échoué : %1 octet(s) différent(s) sur un total de 256 !")
                    .arg(ecrasees),
                DeLaMemoire);
  EXPECT_EQ(vu_.statut, QStringLiteral("Programmation terminée"));
  VerifierRepos();

  // The right chip passes; one byte is never verified.
  Inserer(3);
  f.BoutonProgMem->click();
  VerifierBoite(Reussie, DeLaMemoire);
  adaptateur_->clearTranscript();
  f.BoutonProgOctet->click();
  VerifierBoite(Reussie, QStringLiteral("Programmation d'un octet :"));
  EXPECT_EQ(Ecritures(adaptateur_->transcript()).size(), 1u);
  VerifierRepos();
}

// A simulated CH341A and a PC's SMBus, installed as the start-up does it:
// both in the port group after the parallel ports; on the SMBus, an
// operation waits for the confirmation, and No (the default) leaves the
// chip untouched; the CH341A has no port test, and its result box says
// that the read-back was imposed.
TEST_F(MainWindowTest, Ch341aAndGuardedBusFromThePortGroup) {
  const std::string dossier = ::testing::TempDir();
  const std::string pc = dossier + "zorbix-smbus-pc.bin", ch = dossier + "zorbix-ch341a.bin";
  std::remove(pc.c_str());
  std::remove(ch.c_str());
  SourceSimulee source;
  std::string erreur;
  AdaptateurMessagesSimule smbus;
  smbus.Genre = GenrePort::I2c;
  smbus.Numero = 0;
  smbus.SmbusSeulement = smbus.SmbusPC = true;
  smbus.ChipType = 6;
  smbus.Fichier = pc;
  AdaptateurMessagesSimule ch341a;
  ch341a.ChipType = 6;
  ch341a.Fichier = ch;
  ASSERT_TRUE(source.Ajouter(ch341a, erreur) && source.Ajouter(smbus, erreur)) << erreur;
  InstallerSourceAdaptateurs(&source);
  TForm1& f = Demarrer();
  ASSERT_EQ(f.OptionsAdaptateurs.size(), 2u);
  EXPECT_EQ(f.OptionsAdaptateurs[1]->text(), QStringLiteral("i2c-0 (SMBus I801 simulé)"));

  f.OptionsAdaptateurs[1]->trigger();
  for (std::size_t i = 0; i < etat_.Buffer.size(); ++i) etat_.Buffer[i] = static_cast<std::uint8_t>(i * 7);
  dialogues_.reponses.push_back(Dialogues::Reponse::Annuler);
  f.BoutonProgMem->click();
  ASSERT_EQ(dialogues_.boites.size(), 1u);
  EXPECT_EQ(dialogues_.boites[0].boutons, Dialogues::Boutons::OuiNon);
  EXPECT_TRUE(dialogues_.boites[0].texte.contains(QStringLiteral("barrettes de mémoire (SPD)")));
  EXPECT_FALSE(std::ifstream(pc).good());  // the chip was never opened, nor written back
  f.BoutonProgMem->click();  // Yes this time
  ASSERT_EQ(dialogues_.boites.size(), 3u);
  std::ifstream ecrit(pc, std::ios::binary);
  const std::vector<char> octets((std::istreambuf_iterator<char>(ecrit)), std::istreambuf_iterator<char>());
  ASSERT_EQ(octets.size(), 2048u);
  EXPECT_EQ(static_cast<std::uint8_t>(octets[100]), static_cast<std::uint8_t>(700));

  EXPECT_TRUE(f.Testduportparallele->isEnabled() == false);
  f.OptionsAdaptateurs[0]->trigger();
  f.BoutonProgMem->click();
  ASSERT_EQ(dialogues_.boites.size(), 4u);  // no confirmation for the CH341A
  EXPECT_TRUE(dialogues_.boites[3].texte.contains(QString::fromUtf8(TexteVerificationImposee)))
      << dialogues_.boites[3].texte.toStdString();
  f.OptionLPT1->trigger();
  EXPECT_TRUE(f.Testduportparallele->isEnabled());
  fenetre_.reset();
  InstallerSourceAdaptateurs(nullptr);
  std::remove(pc.c_str());
  std::remove(ch.c_str());
  std::remove((pc + ".lock").c_str());
  std::remove((ch + ".lock").c_str());
}

}  // namespace
}  // namespace zorbix::test
