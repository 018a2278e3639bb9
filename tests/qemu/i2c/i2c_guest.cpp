// Runs inside the emulated PC (QEMU's q35), as its init's child, against the
// kernel's i2c-i801 driver and the ICH9 SMBus with its eight 256-byte
// EEPROMs at 0x50..0x57, through i2c-dev: the program's own bus listing,
// guard and chip operations (SMBus only: no I2C_RDWR on this bus), checked
// against Debian's i2c-tools as an independent peer; then the real
// zorbix32-cli (guest_cli.h) on the same bus, its guard and the at24 driver's
// address. Prints one line per check, benchmark lines, and "N passed,
// N failed" last.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include <linux/i2c.h>
#include <time.h>

#include "engine/chips.h"
#include "engine/i2c/i2c_buses.h"
#include "engine/i2c/i2c_chip.h"
#include "engine/i2c/i2c_safety.h"
#include "tests/qemu/guest_checks.h"
#include "tests/qemu/guest_cli.h"

namespace zorbix {
namespace {

constexpr int Type24C02 = 3, Type24C16 = 6;

// The 256 bytes at `adresse` as i2cdump prints them ("00: 12 34 ..." lines).
std::vector<std::uint8_t> Vidage(int bus, int adresse) {
  std::vector<std::uint8_t> octets;
  std::istringstream lignes(Sortie("/usr/sbin/i2cdump -y " + std::to_string(bus) + " " + std::to_string(adresse) +
                                   " b 2>&1"));
  std::string ligne;
  while (std::getline(lignes, ligne)) {
    if (ligne.size() < 4 || ligne[2] != ':') continue;
    std::istringstream champs(ligne.substr(3));
    for (int i = 0; i < 16; ++i) {
      std::string paire;
      champs >> paire;
      octets.push_back(static_cast<std::uint8_t>(std::strtoul(paire.c_str(), nullptr, 16)));
    }
  }
  return octets;
}

void Programmer(BilanInvite& bilan, BusI2cDev& dev, int numero, int type, int broches) {
  const int n = SpecMemoire(type).Taille;
  const std::string nom = SpecMemoire(type).NomCourt;
  MemoireSurBus memoire(dev, {type, n, broches}, Microsecondes);
  const std::vector<std::uint8_t> image = Aleatoires(n, 17u + static_cast<unsigned>(type));
  const std::uint64_t debut = Microsecondes();
  const ResultatBus p = memoire.Programmer(image.data(), {});
  const std::uint64_t fin = Microsecondes();
  bilan.verifier(p.code == WriteResult::EcritureReussie && p.erreur == 0, nom + " programmed over SMBus",
                 "code " + std::to_string(static_cast<int>(p.code)) + " errno " + std::to_string(p.erreur));
  std::vector<std::uint8_t> lu(static_cast<std::size_t>(n), 0);
  const ResultatBus l = memoire.Lire(lu.data(), {});
  std::size_t premiere = 0;
  while (premiere < lu.size() && lu[premiere] == image[premiere]) ++premiere;
  bilan.verifier(l.code == WriteResult::EcritureReussie && lu == image, nom + " read back equal",
                 premiere < lu.size() ? "first difference at " + std::to_string(premiere) + ": " +
                                            std::to_string(lu[premiere]) + " for " + std::to_string(image[premiere])
                                      : "code " + std::to_string(static_cast<int>(l.code)));
  // What i2cdump reads of each block is what we wrote there.
  bool pareil = true;
  for (int bloc = 0; bloc * 256 < n; ++bloc) {
    const std::vector<std::uint8_t> vu = Vidage(numero, AdresseEsclave(type, bloc * 256, broches));
    const int taille = std::min(256, n);
    pareil = pareil && vu.size() == 256 &&
             std::equal(vu.begin(), vu.begin() + taille, image.begin() + bloc * 256);
  }
  bilan.verifier(pareil, nom + " as i2cdump reads it");
  std::cout << "bench: " << nom << " programmed in " << (fin - debut) / 1000 << " ms, "
            << memoire.Scrutations() << " polls" << std::endl;
}

// zorbix32-cli on the PC's SMBus: a write at 0x50 refused (exit 2, nothing
// written) without the permission, done with it; a 24C16, whose blocks
// span 0x50..0x57, refused (exit 4, nothing written) while at24 holds 0x57.
void VerifierCli(BilanInvite& bilan, int numero) {
  const std::string port = " --port i2c-" + std::to_string(numero) + " ";
  const std::vector<std::uint8_t> avant = Vidage(numero, 0x50);
  const std::vector<std::uint8_t> image = Aleatoires(256, 99);
  EcrireFichier("/tmp/fichier.bin", image);
  SortieCli s = LancerCli("programmer --puce 24C02" + port + "/tmp/fichier.bin");
  bilan.verifier(s.code == 2 && s.contient("--autoriser-ecriture-bus-systeme") && Vidage(numero, 0x50) == avant,
                 "zorbix32-cli without the permission: exit 2, 0x50 unchanged", Resume(s));
  s = LancerCli("programmer --puce 24C02" + port + "--autoriser-ecriture-bus-systeme /tmp/fichier.bin");
  bilan.verifier(s.code == 0 && Vidage(numero, 0x50) == image,
                 "zorbix32-cli with the permission: exit 0, i2cdump shows the file at 0x50", Resume(s));
  EcrireFichier("/tmp/fichier.bin", Aleatoires(2048, 100));
  s = LancerCli("programmer --puce 24C16" + port + "--autoriser-ecriture-bus-systeme /tmp/fichier.bin");
  std::cout << s.texte;
  bilan.verifier(s.code == 4 && s.contient("pilote at24") && Vidage(numero, 0x50) == image,
                 "zorbix32-cli, 24C16 while at24 holds 0x57: exit 4 naming at24, 0x50 unchanged", Resume(s));
}

int Numero(const std::vector<BusI2cListe>& bus) {
  for (const BusI2cListe& b : bus)
    if (b.nom.rfind("SMBus I801", 0) == 0) return b.numero;
  return -1;
}

int Executer() {
  BilanInvite bilan;
  const std::vector<BusI2cListe> bus = ListerBusI2c();
  const int numero = Numero(bus);
  bilan.verifier(numero >= 0, "the ICH9 SMBus is listed");
  if (numero < 0) return bilan.resumer(), 1;
  const BusI2cListe& smbus = bus[0].numero == numero ? bus[0] : bus.back();
  bilan.verifier(smbus.genre == GenreBusI2c::SmbusPC, "it is told apart as a PC's SMBus");

  BusI2cDev dev("/dev/i2c-" + std::to_string(numero), AppelsSysteme());
  bilan.verifier(dev.Ouvert(), "/dev/i2c-N opens");
  const unsigned long fonctions = dev.Fonctions();
  bilan.verifier(!(fonctions & I2C_FUNC_I2C) && (fonctions & I2C_FUNC_SMBUS_WRITE_I2C_BLOCK),
                 "SMBus only, with I2C block writes");

  // Without the user's permission, the guard stops a write before the bus.
  const std::vector<std::uint8_t> avant = Vidage(numero, 0x50);
  bilan.verifier(!OperationPermise(smbus.genre, OperationI2c::Ecriture, 0x50, false) &&
                     !OperationPermise(smbus.genre, OperationI2c::Lecture, 0x50, false),
                 "writing and reading at 0x50 need the permission");
  bilan.verifier(RaisonRefus(smbus, 0x50).find("SPD") != std::string::npos, "the refusal names the SPD EEPROMs");

  Programmer(bilan, dev, numero, Type24C02, 0);
  Programmer(bilan, dev, numero, Type24C16, 0);
  bilan.verifier(avant.size() == 256, "i2cdump read 0x50 before");

  // What i2cset writes, ours reads: a 24C02 whose pins say 0x51.
  std::system(("/usr/sbin/i2cset -y " + std::to_string(numero) + " 0x51 0x10 0xab b").c_str());
  MemoireSurBus a51(dev, {Type24C02, 256, 1}, Microsecondes);
  std::vector<std::uint8_t> lu(256);
  bilan.verifier(a51.Lire(lu.data(), {}).code == WriteResult::EcritureReussie && lu[0x10] == 0xAB,
                 "the byte i2cset wrote at 0x51:0x10 is read");

  // An address a kernel driver holds is refused with the driver's name.
  std::ofstream("/sys/bus/i2c/devices/i2c-" + std::to_string(numero) + "/new_device") << "24c02 0x57\n";
  const int occupe = dev.ChoisirEsclave(0x57);
  const std::string pilote = PiloteSurAdresse(numero, 0x57);
  bilan.verifier(occupe == EBUSY && pilote == "at24", "0x57 held by at24", std::to_string(occupe) + " " + pilote);
  bilan.verifier(RaisonPiloteNoyau(numero, 0x57, pilote).find("/sys/bus/i2c/drivers/at24/unbind") != std::string::npos,
                 "the refusal says how to unbind it");
  VerifierCli(bilan, numero);
  bilan.resumer();
  return bilan.echecs() == 0 ? 0 : 1;
}

}  // namespace
}  // namespace zorbix

int main() { return zorbix::Executer(); }
