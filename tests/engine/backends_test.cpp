#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/backends/parport_lookup.h"
#include "engine/backends/port_map.h"
#include "engine/backends/ppdev_backend.h"
#include "fake_parport_tree.h"

namespace zorbix {
namespace {

using test::FakeParportTree;

// The kernel numbers ports in the order it found them, writes the base in
// decimal followed by the ECP base, and keeps a "default" folder beside them.
TEST(TrouverParport, MapsEachAddressToItsDevice) {
  FakeParportTree arbre;
  arbre.ajouterParport(0, "8880\n");        // 888 is only its prefix
  arbre.ajouterParport(1, "0x378\n");       // not decimal
  arbre.ajouterParport(2, "632\t0\n");      // 0x278 found before 0x378
  arbre.ajouterParport(3, "888\t1912\n");
  arbre.ajouterParport(4, "  956 \t\n");    // odd whitespace around the number
  arbre.ajouterParport(5, std::nullopt);    // no base-addr file
  EXPECT_EQ(TrouverParport(AdresseLPT1, arbre.proc()), 3);
  EXPECT_EQ(TrouverParport(AdresseLPT2, arbre.proc()), 2);
  EXPECT_EQ(TrouverParport(AdresseLPT3, arbre.proc()), 4);
  EXPECT_EQ(TrouverParport(0x000, arbre.proc()), std::nullopt);
}

TEST(TrouverParport, NothingWithoutTheParportTree) {
  EXPECT_EQ(TrouverParport(AdresseLPT1, "/nonexistent/proc"), std::nullopt);
  FakeParportTree arbre;
  arbre.ajouterParport(0, "");
  EXPECT_EQ(TrouverParport(AdresseLPT1, arbre.proc()), std::nullopt);
}

// The reasons given with the real system calls on the fake tree.
TEST(OuvrirPpdev, ReportsWhyThereIsNoPort) {
  FakeParportTree arbre;
  arbre.ajouterParport(0, "888\t1912\n");
  arbre.ajouterParport(1, "632\t0\n");
  arbre.ajouterNoeud(1);
  const RacinesSysteme racines{arbre.proc(), arbre.dev()};
  std::string raison;

  EXPECT_EQ(OuvrirPpdev(AdresseLPT3, racines, raison), nullptr);
  EXPECT_EQ(raison, "aucun /dev/parport à l'adresse 0x3BC");

  EXPECT_EQ(OuvrirPpdev(AdresseLPT1, racines, raison), nullptr);
  EXPECT_EQ(raison, arbre.dev() + "/parport0 absent (module ppdev non chargé ?)");

  // A plain file opens but is no ppdev device: that must not pass for a port.
  EXPECT_EQ(OuvrirPpdev(AdresseLPT2, racines, raison), nullptr);
  EXPECT_EQ(raison.rfind(arbre.dev() + "/parport1 : pas un port ppdev (", 0), 0u) << raison;
}

// A device that logs every call the backend makes, one line each.
struct FauxPeripherique {
  static constexpr int Fd = 7;
  int erreurOuverture = 0;    // errno for a refused open, 0 to accept it
  int erreurReservation = 0;  // errno for a refused PPCLAIM
  int erreurModes = 0;        // errno for a refused PPGETMODES
  bool occupe = false;        // PPCLAIM sleeps until a signal, as ppdev does for a port held elsewhere
  bool lecturesRefusees = false;
  unsigned char donnees = 0x5A;
  unsigned char etat = 0x78;
  std::vector<std::string> journal;

  static std::string Nom(unsigned long requete) {
    switch (requete) {
      case PPCLAIM: return "PPCLAIM";
      case PPRELEASE: return "PPRELEASE";
      case PPRDATA: return "PPRDATA";
      case PPWDATA: return "PPWDATA";
      case PPRSTATUS: return "PPRSTATUS";
      case PPGETMODES: return "PPGETMODES";
      default: return "ioctl " + std::to_string(requete);
    }
  }

  int ioctl(unsigned long requete, unsigned char* octet) {
    journal.push_back(Nom(requete) + (requete == PPWDATA ? " " + std::to_string(*octet) : ""));
    if (requete == PPCLAIM && erreurReservation) return errno = erreurReservation, -1;
    if (requete == PPCLAIM && occupe) return ::pause();
    if (requete == PPGETMODES && erreurModes) return errno = erreurModes, -1;
    if ((requete == PPRDATA || requete == PPRSTATUS) && lecturesRefusees) return errno = EIO, -1;
    if (requete == PPRDATA) *octet = donnees;
    if (requete == PPRSTATUS) *octet = etat;
    return 0;
  }

  AppelsPpdev appels() {
    AppelsPpdev a;
    a.ouvrir = [this](const char* chemin) {
      journal.push_back(std::string("open ") + chemin);
      if (erreurOuverture) return errno = erreurOuverture, -1;
      return Fd;
    };
    a.ioctl = [this](int fd, unsigned long requete, unsigned char* octet) {
      EXPECT_EQ(fd, Fd);
      return ioctl(requete, octet);
    };
    a.fermer = [this](int fd) {
      journal.push_back("close " + std::to_string(fd));
      return 0;
    };
    return a;
  }
};

class PpdevAvecFaux : public ::testing::Test {
 protected:
  PpdevAvecFaux() { arbre.ajouterParport(1, "888\t1912\n"); }
  std::unique_ptr<PpdevBackend> ouvrir(std::string& raison) {
    return OuvrirPpdev(AdresseLPT1, {arbre.proc(), arbre.dev()}, raison, faux.appels());
  }
  std::string noeud() const { return arbre.dev() + "/parport1"; }

  FakeParportTree arbre;
  FauxPeripherique faux;
};

// Opened and asked whether a port is there at start-up, claimed only from
// prendre to rendre (nested calls only count, another port's do nothing),
// only the data and status ioctls in between; the control register and other
// addresses never reach the driver. Closed at the end.
TEST_F(PpdevAvecFaux, ClaimsForOneOperationAndTouchesOnlyDataAndStatus) {
  std::string raison;
  std::unique_ptr<PpdevBackend> port = ouvrir(raison);
  ASSERT_NE(port, nullptr) << raison;
  EXPECT_EQ(port->peripherique(), noeud());
  ASSERT_TRUE(port->prendre(0x378, raison));
  ASSERT_TRUE(port->prendre(0x378, raison));
  ASSERT_TRUE(port->prendre(0x278, raison));

  port->write(0x378, 0xF5);
  EXPECT_EQ(port->read(0x378), 0x5A);
  EXPECT_EQ(port->read(0x379), 0x78);
  EXPECT_EQ(port->read(0x37A), 0xFF);
  EXPECT_EQ(port->read(0x278), 0xFF);
  port->write(0x379, 0x01);
  port->write(0x37A, 0x02);
  port->write(0x278, 0x03);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(port->rendre(i < 2 ? 0x378 : 0x278, raison));
  EXPECT_TRUE(port->rendre(0x378, raison));  // one more: nothing to give back
  port.reset();

  const std::vector<std::string> attendu = {"open " + noeud(), "PPGETMODES", "PPCLAIM", "PPWDATA 245", "PPRDATA",
                                            "PPRSTATUS", "PPRELEASE", "close 7"};
  EXPECT_EQ(faux.journal, attendu);
}

// A port another program holds: the claim, which would sleep for good, is
// interrupted after the bound; the device is closed at once (an interrupted
// PPCLAIM stays queued in the driver until then) and the reason names the
// port and its holder. The next claim opens it again and succeeds.
TEST_F(PpdevAvecFaux, BusyPortIsReportedWithinTheBoundAndTakenLater) {
  std::string raison;
  std::unique_ptr<PpdevBackend> port = ouvrir(raison);
  ASSERT_NE(port, nullptr) << raison;
  arbre.definirActif(1, "lp0");
  faux.occupe = true;
  faux.journal.clear();
  EXPECT_FALSE(port->prendre(0x378, raison));
  EXPECT_EQ(raison, noeud() + " (0x378) occupé par un autre programme (« lp0 » selon le noyau) : "
                              "réessayez quand il aura libéré le port");
  EXPECT_EQ(faux.journal, (std::vector<std::string>{"PPCLAIM", "close 7"}));
  EXPECT_EQ(port->read(0x379), 0xFF);  // not claimed: the absent port's value, no ioctl on a closed device

  faux.occupe = false;
  faux.journal.clear();
  arbre.definirActif(1, "none");
  ASSERT_TRUE(port->prendre(0x378, raison)) << raison;
  EXPECT_EQ(port->read(0x379), 0x78);
  EXPECT_TRUE(port->rendre(0x378, raison));
  EXPECT_EQ(faux.journal, (std::vector<std::string>{"open " + noeud(), "PPCLAIM", "PPRSTATUS", "PPRELEASE"}));
}

TEST_F(PpdevAvecFaux, AFailedReadGivesWhatAnAbsentPortWould) {
  std::string raison;
  std::unique_ptr<PpdevBackend> port = ouvrir(raison);
  ASSERT_NE(port, nullptr);
  faux.lecturesRefusees = true;
  EXPECT_EQ(port->read(0x378), 0xFF);
  EXPECT_EQ(port->read(0x379), 0xFF);
}

TEST_F(PpdevAvecFaux, RefusedOpenSaysWhy) {
  const struct {
    int erreur;
    std::string raison;
  } cas[] = {
      {EACCES, "permission refusée sur " + noeud() + " : ajoutez l'utilisateur au groupe lp"},
      {ENOENT, noeud() + " absent (module ppdev non chargé ?)"},
      {EBUSY, noeud() + " occupé par un autre programme"},
      {ENXIO, noeud() + " : aucun port derrière ce périphérique"},
  };
  for (const auto& c : cas) {
    faux.erreurOuverture = c.erreur;
    faux.journal.clear();
    std::string raison;
    EXPECT_EQ(ouvrir(raison), nullptr);
    EXPECT_EQ(raison, c.raison);
    EXPECT_EQ(faux.journal, std::vector<std::string>{"open " + noeud()});
  }
}

// A device the driver knows no port behind is closed again at start-up; a
// claim the driver refuses says why.
TEST_F(PpdevAvecFaux, RefusedStartOrClaimSaysWhy) {
  faux.erreurModes = ENXIO;
  std::string raison;
  EXPECT_EQ(ouvrir(raison), nullptr);
  EXPECT_EQ(raison, noeud() + " : aucun port derrière ce périphérique");
  EXPECT_EQ(faux.journal, (std::vector<std::string>{"open " + noeud(), "PPGETMODES", "close 7"}));

  faux.erreurModes = 0;
  faux.erreurReservation = EIO;
  std::unique_ptr<PpdevBackend> port = ouvrir(raison);
  ASSERT_NE(port, nullptr);
  EXPECT_FALSE(port->prendre(0x378, raison));
  EXPECT_EQ(raison, noeud() + " : réservation du port refusée (" + std::strerror(EIO) + ")");
}

// A backend that logs the accesses it receives, tagged with its own name.
class PortEspion final : public PortBackend {
 public:
  PortEspion(std::string nom, std::vector<std::string>& journal, std::uint8_t valeur)
      : nom_(std::move(nom)), journal_(journal), valeur_(valeur) {}
  ~PortEspion() override { journal_.push_back(nom_ + " détruit"); }
  std::uint8_t read(std::uint16_t address) override {
    journal_.push_back(nom_ + " lit " + std::to_string(address));
    return valeur_;
  }
  void write(std::uint16_t address, std::uint8_t value) override {
    journal_.push_back(nom_ + " écrit " + std::to_string(address) + "=" + std::to_string(value));
  }
  bool prendre(std::uint16_t base, std::string&) override {
    journal_.push_back(nom_ + " prend " + std::to_string(base));
    return true;
  }
  bool rendre(std::uint16_t base, std::string&) override {
    journal_.push_back(nom_ + " rend " + std::to_string(base));
    return true;
  }

 private:
  std::string nom_;
  std::vector<std::string>& journal_;
  std::uint8_t valeur_;
};

TEST(PortMap, RoutesDataAndStatusOfEachPortToItsBackend) {
  std::vector<std::string> journal;
  {
    PortMap carte;
    carte.servir(AdresseLPT1, std::make_unique<PortEspion>("A", journal, 0x11));
    carte.servir(AdresseLPT2, std::make_unique<PortEspion>("B", journal, 0x22));

    EXPECT_EQ(carte.read(0x378), 0x11);
    EXPECT_EQ(carte.read(0x379), 0x11);
    EXPECT_EQ(carte.read(0x279), 0x22);
    // Control registers, the unserved port and any other address: absent.
    for (std::uint16_t a : {0x37A, 0x27A, 0x3BC, 0x3BD, 0x377, 0x000, 0xFFFF}) EXPECT_EQ(carte.read(a), 0xFF) << a;
    carte.write(0x378, 0xF5);
    carte.write(0x278, 0x06);
    carte.write(0x37A, 0x01);
    carte.write(0x3BC, 0x02);
    std::string raison;
    EXPECT_TRUE(carte.prendre(0x278, raison));
    EXPECT_TRUE(carte.prendre(0x3BC, raison));  // the absent port: nothing to take
    EXPECT_TRUE(carte.rendre(0x278, raison));
    EXPECT_EQ(journal, (std::vector<std::string>{"A lit 888", "A lit 889", "B lit 633", "A écrit 888=245",
                                                  "B écrit 632=6", "B prend 632", "B rend 632"}));

    // Serving a port again replaces (and frees) the backend it had.
    journal.clear();
    carte.servir(AdresseLPT1, std::make_unique<PortEspion>("C", journal, 0x33));
    EXPECT_EQ(carte.read(0x378), 0x33);
    EXPECT_EQ(journal, (std::vector<std::string>{"A détruit", "C lit 888"}));
    journal.clear();
  }
  std::sort(journal.begin(), journal.end());
  EXPECT_EQ(journal, (std::vector<std::string>{"B détruit", "C détruit"}));  // freed with the map
}

}  // namespace
}  // namespace zorbix
