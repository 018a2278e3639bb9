#include "engine/backends/port_setup.h"

#include <linux/ppdev.h>
#include <sys/ioctl.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include "engine/port_claim.h"
#include "fake_parport_tree.h"

namespace zorbix {
namespace {

using test::FakeParportTree;

// True when no backend of ours is installed any more.
bool PortAbsentInstalle() {
  PortBackend* installe = InstallerBackend(nullptr);
  InstallerBackend(installe);
  return installe == nullptr;
}

// A machine for the start-up choice: a fake parport tree, device nodes that
// open with a given errno (or give a descriptor), and a direct I/O that
// serves only the ports it is told to.
class Machine {
 public:
  Machine() {
    parametres.racines = {arbre.proc(), arbre.dev()};
    parametres.appelsPpdev.ouvrir = [this](const char* chemin) {
      journal.push_back(std::string("open ") + chemin);
      const auto it = erreursOuverture.find(chemin);
      if (it != erreursOuverture.end()) return errno = it->second, -1;
      return 3;
    };
    parametres.appelsPpdev.ioctl = [this](int, unsigned long requete, unsigned char* octet) {
      if (requete == PPWDATA) journal.push_back("PPWDATA " + std::to_string(*octet));
      if (requete == PPRSTATUS) *octet = 0x7F;
      return 0;
    };
    parametres.appelsPpdev.fermer = [](int) { return 0; };
    parametres.adaptateursReels = nullptr;  // no USB or I2C bus of this machine
    parametres.ouvrirAccesDirect = [this](std::uint16_t base, std::string& raison) -> std::unique_ptr<PortBackend> {
      journal.push_back("ioperm " + std::to_string(base));
      if (base != accesDirectPermis) {
        raison = "accès direct refusé : essai";
        return nullptr;
      }
      return std::make_unique<AbsentBackend>();
    };
  }

  std::unique_ptr<PortsInstalles> installer() {
    std::string erreur;
    std::unique_ptr<PortsInstalles> ports = InstallerPorts(parametres, erreur);
    EXPECT_NE(ports, nullptr) << erreur;
    return ports;
  }

  FakeParportTree arbre;
  ParametresPorts parametres;
  std::map<std::string, int> erreursOuverture;
  std::uint16_t accesDirectPermis = 0;
  std::vector<std::string> journal;
};

// No parport driver at all: direct I/O may be tried everywhere.
TEST(InstallerPorts, MachineWithoutAnyPort) {
  Machine machine;
  machine.arbre.retirerPilote();
  std::unique_ptr<PortsInstalles> ports = machine.installer();
  ASSERT_NE(ports, nullptr);
  const std::vector<std::string> attendu = {
      "LPT1 (0x378) : aucun port (aucun /dev/parport à l'adresse 0x378 ; accès direct refusé : essai)",
      "LPT2 (0x278) : aucun port (aucun /dev/parport à l'adresse 0x278 ; accès direct refusé : essai)",
      "LPT3 (0x3BC) : aucun port (aucun /dev/parport à l'adresse 0x3BC ; accès direct refusé : essai)",
      "Aucun port parallèle réel : ZORBIX_SIMULATION (par exemple ZORBIX_SIMULATION=LPT1:24C16) "
      "fait fonctionner le programme avec un adaptateur simulé.",
  };
  EXPECT_EQ(ports->rapport(), attendu);
  EXPECT_FALSE(ports->simulation());
  EXPECT_EQ(LirePort(0x379), 0xFF);

  std::ostringstream sortie;
  AfficherRapportPorts(*ports, sortie);
  EXPECT_EQ(sortie.str(), attendu[0] + "\n" + attendu[1] + "\n" + attendu[2] + "\n" + attendu[3] + "\n");
  EXPECT_EQ(ports->terminer(), "");
  EXPECT_TRUE(PortAbsentInstalle());
}

// Each port gets the best backend it can have; direct I/O is tried only
// where ppdev failed and the kernel lists a port, and the report says why
// ppdev failed. A port at any other address the kernel lists is an extra
// port, named by its device.
TEST(InstallerPorts, EachPortGetsTheBestBackendAvailable) {
  Machine machine;
  machine.arbre.ajouterParport(0, "632\t0\n");
  machine.arbre.ajouterParport(1, "888\t1912\n");
  machine.arbre.ajouterParport(2, "56320\t55424\n");
  machine.arbre.ajouterParport(3, "65535\n");  // no room for its status register
  const std::string lpt1 = machine.arbre.dev() + "/parport1";
  machine.erreursOuverture[lpt1] = EACCES;
  machine.accesDirectPermis = AdresseLPT1;

  std::unique_ptr<PortsInstalles> ports = machine.installer();
  ASSERT_NE(ports, nullptr);
  const std::vector<std::string> attendu = {
      "LPT1 (0x378) : accès direct aux ports d'E/S (ppdev : permission refusée sur " + lpt1 +
          " : ajoutez l'utilisateur au groupe lp)",
      "LPT2 (0x278) : " + machine.arbre.dev() + "/parport0 (ppdev)",
      "LPT3 (0x3BC) : aucun port (aucun /dev/parport à l'adresse 0x3BC ; pas d'accès direct : le pilote "
      "parport du noyau ne voit aucun port à cette adresse)",
      "parport2 (0xDC00) : " + machine.arbre.dev() + "/parport2 (ppdev)",
  };
  EXPECT_EQ(ports->rapport(), attendu);
  // Nothing, not even the permission, is asked for at 0x3BC.
  const std::vector<std::string> essais = {"open " + lpt1, "ioperm 888", "open " + machine.arbre.dev() + "/parport0",
                                           "open " + machine.arbre.dev() + "/parport2"};
  EXPECT_EQ(machine.journal, essais);
  ASSERT_EQ(ports->supplementaires().size(), 1u);
  EXPECT_EQ(ports->supplementaires()[0].nom, "parport2");
  EXPECT_EQ(ports->supplementaires()[0].base, 0xDC00);

  // The installed map sends LPT2 and the extra port to their ppdev devices
  // and nothing else there, once an operation has taken them.
  machine.journal.clear();
  PortPris prises[] = {PortPris(0x278), PortPris(0xDC00), PortPris(0x378), PortPris(0x3BC)};
  EcrirePort(0x278, 0xF5);
  EcrirePort(0xDC00, 0x06);
  EcrirePort(0x378, 0x06);
  EcrirePort(0x3BC, 0x06);
  EXPECT_EQ(LirePort(0x279), 0x7F);
  EXPECT_EQ(LirePort(0xDC01), 0x7F);
  EXPECT_EQ(LirePort(0x3BD), 0xFF);
  EXPECT_EQ(machine.journal, (std::vector<std::string>{"PPWDATA 245", "PPWDATA 6"}));
  ports.reset();
  EXPECT_TRUE(PortAbsentInstalle());
}

TEST(InstallerPorts, TraceWithoutSimulationIsReportedAsIgnored) {
  Machine machine;
  machine.parametres.trace = "/tmp/bus.vcd";
  std::unique_ptr<PortsInstalles> ports = machine.installer();
  ASSERT_NE(ports, nullptr);
  EXPECT_EQ(ports->rapport().back(),
            "ZORBIX_SIM_TRACE ignoré : la trace du bus ne concerne que l'adaptateur simulé.");
}

std::string Contenu(const std::filesystem::path& fichier) {
  std::ifstream entree(fichier, std::ios::binary);
  return {std::istreambuf_iterator<char>(entree), std::istreambuf_iterator<char>()};
}

// Asked for, the simulator serves the ports and no real backend is even
// tried; nothing is written to the chips' files when the run ends.
TEST(InstallerPorts, SimulationOnlyWhenAskedFor) {
  Machine machine;
  machine.arbre.ajouterParport(0, "888\n");
  machine.accesDirectPermis = AdresseLPT1;
  const std::filesystem::path puce = machine.arbre.dev() + "/../puce.bin";
  const std::filesystem::path trace = machine.arbre.dev() + "/../bus.vcd";
  machine.arbre.ajouterParport(1, "53248\n");  // a real extra port, not offered while simulating
  machine.parametres.simulation = "LPT2:24C02=" + puce.string() + ";0xDC00:24C16";
  machine.parametres.trace = trace.string();

  std::unique_ptr<PortsInstalles> ports = machine.installer();
  ASSERT_NE(ports, nullptr);
  EXPECT_TRUE(ports->simulation());
  EXPECT_TRUE(machine.journal.empty()) << machine.journal.front();
  const std::vector<std::string>& rapport = ports->rapport();
  ASSERT_GE(rapport.size(), 3u);
  EXPECT_EQ(rapport.front(), "Simulation (ZORBIX_SIMULATION) : aucun port réel n'est utilisé.");
  EXPECT_EQ(rapport.back(), "Trace du bus : " + trace.string());
  EXPECT_EQ(rapport[1].rfind("LPT2 (0x278) : ", 0), 0u) << rapport[1];
  EXPECT_EQ(rapport[2], "sim0 (0xDC00) : adaptateur simulé, 24C16");
  ASSERT_EQ(ports->supplementaires().size(), 1u);
  EXPECT_EQ(ports->supplementaires()[0].nom, "sim0");
  EXPECT_EQ(ports->supplementaires()[0].base, 0xDC00);

  // The simulated register reads back on LPT2; LPT1 has nothing behind it.
  EcrirePort(0x278, 0xF5);
  EXPECT_EQ(LirePort(0x278), 0xF5);
  EcrirePort(0x378, 0xF5);
  EXPECT_EQ(LirePort(0x378), 0xFF);

  // Ending the run without terminer(), as a main() that returns early would.
  ports.reset();
  EXPECT_TRUE(PortAbsentInstalle());
  EXPECT_FALSE(std::filesystem::exists(puce));  // each operation writes its changes, the end nothing
  EXPECT_NE(Contenu(trace).find("$timescale"), std::string::npos);
}

TEST(InstallerPorts, MalformedSimulationInstallsNothing) {
  Machine machine;
  machine.parametres.simulation = "LPT9:24C99";
  std::string erreur;
  EXPECT_EQ(InstallerPorts(machine.parametres, erreur), nullptr);
  EXPECT_FALSE(erreur.empty());
  EXPECT_TRUE(machine.journal.empty());
  EXPECT_TRUE(PortAbsentInstalle());
}

// `texte` as an extended regular expression that matches it literally.
std::string Litteral(const std::string& texte) {
  std::string motif;
  for (char c : texte) {
    if (std::string(".[]{}()\\*+?^$|").find(c) != std::string::npos) motif += '\\';
    motif += c;
  }
  return motif;
}

TEST(InstallerPortsOuQuitterDeathTest, MalformedSimulationEndsWithCode2) {
  ParametresPorts parametres;
  parametres.simulation = "LPT9:24C99";
  std::string erreur;
  InstallerPorts(parametres, erreur);
  ASSERT_FALSE(erreur.empty());
  EXPECT_EXIT(
      {
        setenv("ZORBIX_SIMULATION", "LPT9:24C99", 1);
        InstallerPortsOuQuitter(std::cerr);
      },
      ::testing::ExitedWithCode(2), Litteral(erreur));
}

// Where the processor has no port instructions (a Raspberry Pi), the real
// direct I/O never serves a port, and the report says why.
#if !defined(__x86_64__) && !defined(__i386__)
TEST(InstallerPorts, NoDirectIoWithoutX86PortInstructions) {
  Machine machine;
  machine.arbre.retirerPilote();
  machine.parametres.ouvrirAccesDirect = OuvrirAccesDirect;
  std::unique_ptr<PortsInstalles> ports = machine.installer();
  ASSERT_NE(ports, nullptr);
  EXPECT_EQ(ports->rapport()[0],
            "LPT1 (0x378) : aucun port (aucun /dev/parport à l'adresse 0x378 ; pas d'accès direct : les "
            "instructions d'E/S in/out n'existent que sur les processeurs x86)");
  EXPECT_TRUE(ports->ports()[0].Absent);
}
#endif

}  // namespace
}  // namespace zorbix
