// --port: the three legacy names, an address, and an extra port by the name
// the installed ports give it.
#include <gtest/gtest.h>

#include "cli/port_option.h"

namespace zorbix::test {
namespace {

TEST(PortOptionTest, NamesAddressesAndInstalledExtraPortsGiveTheirBase) {
  const PortsSupplementaires autres = {{"parport1", 0xDC00}, {"parport3", 0xD000}};
  std::string erreur;
  EXPECT_EQ(AdressePortDemande("lpt2", autres, erreur), 0x278);
  EXPECT_EQ(AdressePortDemande("LPT3", autres, erreur), 0x3BC);
  EXPECT_EQ(AdressePortDemande("0xdc00", autres, erreur), 0xDC00);
  EXPECT_EQ(AdressePortDemande("0xE000", {}, erreur), 0xE000);  // an address needs no listed port
  EXPECT_EQ(AdressePortDemande("parport3", autres, erreur), 0xD000);
  EXPECT_EQ(AdressePortDemande("PARPORT1", autres, erreur), 0xDC00);
  EXPECT_EQ(AdressePortDemande("sim0", {{"sim0", 0xDC00}}, erreur), 0xDC00);
  EXPECT_TRUE(erreur.empty()) << erreur;

  for (const char* refuse : {"LPT4", "0x", "0x10000", "0xFFFF", "0x0", "0x37g", "378", "parport0", "parport",
                             "parport10", "sim0", ""}) {
    erreur.clear();
    EXPECT_FALSE(AdressePortDemande(refuse, autres, erreur)) << refuse;
    EXPECT_FALSE(erreur.empty()) << refuse;
  }
  // The message names what this machine offers.
  EXPECT_NE(erreur.find("LPT1, LPT2, LPT3, parport1, parport3 ou une adresse"), std::string::npos) << erreur;
}

}  // namespace
}  // namespace zorbix::test
