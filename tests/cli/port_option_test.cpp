// --port: the three legacy names, an address, and a port the kernel lists by
// its device name.
#include <gtest/gtest.h>

#include "cli/port_option.h"
#include "engine/fake_parport_tree.h"

namespace zorbix::test {
namespace {

TEST(PortOptionTest, NamesAddressesAndKernelPortsGiveTheirBase) {
  FakeParportTree arbre;
  arbre.ajouterParport(0, "888\t1912\n");
  arbre.ajouterParport(1, "56320\n");  // 0xDC00, a PCI card
  arbre.ajouterParport(2, std::nullopt);
  std::string erreur;
  EXPECT_EQ(AdressePortDemande("lpt2", arbre.proc(), erreur), 0x278);
  EXPECT_EQ(AdressePortDemande("LPT3", arbre.proc(), erreur), 0x3BC);
  EXPECT_EQ(AdressePortDemande("0xdc00", arbre.proc(), erreur), 0xDC00);
  EXPECT_EQ(AdressePortDemande("parport1", arbre.proc(), erreur), 0xDC00);
  EXPECT_EQ(AdressePortDemande("parport0", arbre.proc(), erreur), 0x378);
  EXPECT_TRUE(erreur.empty()) << erreur;

  for (const char* refuse : {"LPT4", "0x", "0x10000", "0xFFFF", "0x0", "0x37g", "378", "parport2", "parport7",
                             "parport0/../parport1", "default", ""}) {
    erreur.clear();
    EXPECT_FALSE(AdressePortDemande(refuse, arbre.proc(), erreur)) << refuse;
    EXPECT_FALSE(erreur.empty()) << refuse;
  }
}

}  // namespace
}  // namespace zorbix::test
