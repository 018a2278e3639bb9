// The /dev/i2c-N adapter's chip operations on a simulated bus, through the
// very ioctls the kernel gets: both paths (I2C messages, SMBus only) on every
// chip type, the write-cycle deadline, the buses told apart and the guard.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "engine/chips.h"
#include "engine/i2c/i2c_buses.h"
#include "engine/i2c/i2c_chip.h"
#include "engine/i2c/i2c_safety.h"
#include "engine/sim/eeprom_model.h"
#include "engine/sim/simulated_i2c_bus.h"
#include "tests/random_bytes.h"

namespace zorbix {
namespace {

using test::Aleatoires;

struct Banc {
  Banc(int type, bool smbus, bool socleVide = false)
      : puce(EepromModel::create(type)), bus("/dev/i2c-1", Parametres(smbus), socleVide ? nullptr : puce.get()),
        dev("/dev/i2c-1", bus.Appels()),
        memoire(dev, {type, SpecMemoire(type).Taille, 0}, [this] { return bus.Microsecondes(); }) {}
  static ParametresBusSimule Parametres(bool smbus) {
    ParametresBusSimule p;
    p.smbusSeulement = smbus;
    return p;
  }
  std::unique_ptr<EepromModel> puce;
  BusI2cSimule bus;
  BusI2cDev dev;
  MemoireSurBus memoire;
};

class TypesEtChemins : public ::testing::TestWithParam<std::tuple<int, bool>> {};

TEST_P(TypesEtChemins, ProgramReadAndOneByteLandInTheChip) {
  const auto [type, smbus] = GetParam();
  const int n = SpecMemoire(type).Taille;
  Banc b(type, smbus);
  ASSERT_TRUE(b.dev.Ouvert());
  const std::vector<std::uint8_t> image = Aleatoires(n, 5u + type);
  std::vector<int> positions;
  const ResultatBus p = b.memoire.Programmer(image.data(), [&](int a) { positions.push_back(a); });
  ASSERT_EQ(p.code, WriteResult::EcritureReussie);
  EXPECT_EQ(b.puce->memory(), image);
  EXPECT_EQ(positions.size(), static_cast<std::size_t>(n / TaillePage(n)));
  EXPECT_GT(b.memoire.Scrutations(), 0);

  std::vector<std::uint8_t> lu(n, 0x55);
  std::vector<int> attendues, vues;
  const int pas = PasProgression(n, DivisionsLecture);
  for (int a = pas - 1; a < n - 1; a += pas) attendues.push_back(a);
  attendues.push_back(n);
  ASSERT_EQ(b.memoire.Lire(lu.data(), [&](int a) { vues.push_back(a); }).code, WriteResult::EcritureReussie);
  EXPECT_EQ(lu, image);
  EXPECT_EQ(vues, attendues);

  std::vector<std::uint8_t> un = image;
  un[n - 1] ^= 0xFF;
  ASSERT_EQ(b.memoire.ProgrammerOctet(un.data(), n - 1).code, WriteResult::EcritureReussie);
  EXPECT_EQ(b.puce->memory(), un);
  EXPECT_EQ(b.memoire.ProgrammerOctet(un.data(), n).code, WriteResult::AdresseHorsMemoire);
}

INSTANTIATE_TEST_SUITE_P(ToutLeCatalogue, TypesEtChemins,
                         ::testing::Combine(::testing::Range(0, NombreTypesMemoire), ::testing::Bool()));

TEST(AdaptateurI2c, EmptySocketAndSilentWriteCycle) {
  for (const bool smbus : {false, true}) {
    Banc vide(6, smbus, true);
    std::vector<std::uint8_t> octets(2048, 0);
    EXPECT_EQ(vide.memoire.Lire(octets.data(), {}).code, WriteResult::SelectionNonAcquittee);
    EXPECT_EQ(vide.memoire.Programmer(octets.data(), {}).code, WriteResult::SelectionNonAcquittee);

    Banc muette(9, smbus);
    muette.puce->setNeverEndsWriteCycle(true);
    std::vector<std::uint8_t> image(16384, 0);
    const ResultatBus r = muette.memoire.Programmer(image.data(), {});
    EXPECT_EQ(r.code, WriteResult::FinEcritureNonVue);
    EXPECT_EQ(r.erreur, 0);
    // Polled for the deadline of simulated time, not a fixed count.
    EXPECT_GE(muette.bus.Microsecondes(), DelaiFinEcritureI2cMs * 1000u);
  }
}

TEST(AdaptateurI2c, DeviceAddressCarriesBlockBitsAndTheOtherPins) {
  EXPECT_EQ(AdresseEsclave(6, 0x7FF, 0), 0x57);  // 24C16: all three are block bits
  EXPECT_EQ(AdresseEsclave(6, 0x100, 7), 0x51);
  EXPECT_EQ(AdresseEsclave(4, 0x1FF, 6), 0x57);  // 24C04: A2 A1 from the pins, A8 from the address
  EXPECT_EQ(AdresseEsclave(3, 0xFF, 5), 0x55);   // 24C02: the pins
  EXPECT_EQ(AdresseEsclave(11, 0xFFFF, 2), 0x52);
}

TEST(AdaptateurI2c, GuardTable) {
  struct Cas {
    GenreBusI2c genre;
    OperationI2c operation;
    std::uint16_t adresse;
    bool permission;
    bool permise;
  };
  const GenreBusI2c O = GenreBusI2c::Ordinaire, S = GenreBusI2c::SmbusPC, A = GenreBusI2c::Affichage;
  const OperationI2c L = OperationI2c::Lecture, E = OperationI2c::Ecriture;
  const Cas cas[] = {
      {O, L, 0x50, false, true}, {O, E, 0x50, false, true}, {S, L, 0x60, false, true},
      {S, E, 0x60, false, false}, {S, L, 0x50, false, false}, {S, L, 0x57, false, false},
      {S, E, 0x50, true, true},  {S, L, 0x50, true, true},  {A, E, 0x50, false, false},
      {A, L, 0x37, false, true}, {A, E, 0x37, true, true},  {S, L, 0x58, false, true},
  };
  for (const Cas& c : cas)
    EXPECT_EQ(OperationPermise(c.genre, c.operation, c.adresse, c.permission), c.permise)
        << static_cast<int>(c.genre) << " " << static_cast<int>(c.operation) << " " << c.adresse;
}

TEST(AdaptateurI2c, BusesFromSysfsAreToldApart) {
  char modele[] = "/tmp/zorbix-sys-XXXXXX";
  const std::string sys = mkdtemp(modele);
  auto ecrire = [&](const std::string& chemin, const std::string& texte) {
    std::system(("mkdir -p '" + chemin.substr(0, chemin.rfind('/')) + "'").c_str());
    std::ofstream(chemin) << texte << '\n';
  };
  ecrire(sys + "/class/i2c-dev/i2c-0/name", "SMBus I801 adapter at f000");
  ecrire(sys + "/class/i2c-dev/i2c-1/name", "i2c-tiny-usb at bus 001 device 002");
  ecrire(sys + "/class/i2c-dev/i2c-2/name", "i915 gmbus dpb");
  ecrire(sys + "/class/i2c-dev/i2c-10/name", "Synopsys DesignWare I2C adapter");
  // i2c-10 hangs from a PCI SMBus controller even though its name does not say so.
  ecrire(sys + "/devices/pci0000:00/0000:00:1f.4/class", "0x0c0500");
  std::system(("mkdir -p " + sys + "/devices/pci0000:00/0000:00:1f.4/i2c-10 " + sys + "/bus/i2c/devices").c_str());
  symlink((sys + "/devices/pci0000:00/0000:00:1f.4/i2c-10").c_str(), (sys + "/bus/i2c/devices/i2c-10").c_str());
  std::system(("mkdir -p " + sys + "/bus/i2c/devices/0-0050 " + sys + "/bus/i2c/drivers/ee1004").c_str());
  symlink((sys + "/bus/i2c/drivers/ee1004").c_str(), (sys + "/bus/i2c/devices/0-0050/driver").c_str());

  const std::vector<BusI2cListe> bus = ListerBusI2c(sys);
  ASSERT_EQ(bus.size(), 4u);
  EXPECT_EQ(bus[0].genre, GenreBusI2c::SmbusPC);
  EXPECT_EQ(bus[1].genre, GenreBusI2c::Ordinaire);
  EXPECT_EQ(NomBusI2c(bus[1]), "i2c-1 (i2c-tiny-usb at bus 001 device 002)");
  EXPECT_EQ(bus[2].genre, GenreBusI2c::Affichage);
  EXPECT_EQ(bus[3].numero, 10);
  EXPECT_EQ(bus[3].genre, GenreBusI2c::SmbusPC);
  EXPECT_EQ(PiloteSurAdresse(0, 0x50, sys), "ee1004");
  EXPECT_EQ(PiloteSurAdresse(0, 0x51, sys), "");
  EXPECT_NE(RaisonPiloteNoyau(0, 0x50, "ee1004").find("echo 0-0050 > /sys/bus/i2c/drivers/ee1004/unbind"),
            std::string::npos);
  std::system(("rm -rf " + sys).c_str());
}

}  // namespace
}  // namespace zorbix
