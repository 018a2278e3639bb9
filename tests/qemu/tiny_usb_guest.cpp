// Runs inside the emulated PC against the kernel's USB core, vhci-hcd, the
// i2c-tiny-usb driver and i2c-dev: an emulated i2c-tiny-usb of ours
// (usbip_tiny_usb.h) attached over a socket pair becomes an I2C bus with
// plain I2C messages, and the program's own chip operations read, program by
// pages (acknowledge polling counted) and read back every chip type through
// I2C_RDWR on it; then an empty socket, and Debian's i2ctransfer as an
// independent peer on a 24C64 (two address bytes, a page's roll-over), and
// the real zorbix32-cli (guest_cli.h) on the same bus. One line per check,
// "bench:" lines, and "N passed, N failed" last.
#include <linux/i2c.h>
#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "cli/cli_texts.h"
#include "engine/chips.h"
#include "engine/i2c/i2c_buses.h"
#include "engine/i2c/i2c_chip.h"
#include "engine/sim/eeprom_model.h"
#include "engine/transfer_messages.h"
#include "guest_checks.h"
#include "guest_cli.h"
#include "usbip_tiny_usb.h"

namespace zorbix {
namespace {

using Octets = std::vector<std::uint8_t>;
constexpr int Type24C64 = 8;
const std::string NomDuBus = "i2c-tiny-usb at bus ";

// The bus the driver made of the device, found by its name (its number
// depends on the buses there before it); waited for while the device
// enumerates.
const BusI2cListe* AttendreBus(std::vector<BusI2cListe>& liste) {
  for (int essai = 0; essai < 150; ++essai) {
    liste = ListerBusI2c();
    for (const BusI2cListe& b : liste)
      if (b.nom.rfind(NomDuBus, 0) == 0) return &b;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  return nullptr;
}

struct Banc {
  Banc(ServeurUsbip& s, TinyUsbI2c& a, BusI2cDev& d, int n) : serveur(s), appareil(a), dev(d), numero(n) {}
  ~Banc() { inserer(nullptr); }

  // Puts `modele` (nullptr: nothing) on the device's bus in place of the
  // chip there, which the bench keeps until then.
  EepromModel* inserer(std::unique_ptr<EepromModel> modele) {
    const auto verrou = serveur.verrou();
    appareil.inserer(modele.get());
    surLeBus = std::move(modele);
    return surLeBus.get();
  }
  Octets memoire() {
    const auto verrou = serveur.verrou();
    return surLeBus->memory();
  }
  int cycles() {
    const auto verrou = serveur.verrou();
    return surLeBus->writeCyclesStarted();
  }

  ServeurUsbip& serveur;
  TinyUsbI2c& appareil;
  BusI2cDev& dev;
  int numero;
  std::unique_ptr<EepromModel> surLeBus;
};

std::string Code(const ResultatBus& r) {
  return "code " + std::to_string(static_cast<int>(r.code)) + " errno " + std::to_string(r.erreur);
}

bool Reussi(const ResultatBus& r) { return r.code == WriteResult::EcritureReussie && r.erreur == 0; }

void VerifierType(BilanInvite& bilan, Banc& banc, int type) {
  const ChipSpec& fiche = SpecMemoire(type);
  const std::string nom = std::string(fiche.NomCourt) + ": ";
  EepromModel* modele = banc.inserer(EepromModel::create(type));
  {
    const auto verrou = banc.serveur.verrou();
    modele->memory() = Aleatoires(fiche.Taille, 40u + static_cast<unsigned>(type));
  }
  const Octets contenu = banc.memoire();
  MemoireSurBus memoire(banc.dev, {type, fiche.Taille, 0}, Microsecondes);
  Octets lu(static_cast<std::size_t>(fiche.Taille));
  std::uint64_t debut = Microsecondes();
  ResultatBus r = memoire.Lire(lu.data(), {});
  const std::uint64_t lecture = Microsecondes() - debut;
  bilan.verifier(Reussi(r) && lu == contenu, nom + "whole-chip read gives the chip's contents", Code(r));

  const Octets image = Aleatoires(fiche.Taille, 80u + static_cast<unsigned>(type));
  debut = Microsecondes();
  r = memoire.Programmer(image.data(), {});
  const std::uint64_t programmation = Microsecondes() - debut;
  bilan.verifier(Reussi(r), nom + "programmed by pages", Code(r));
  r = memoire.Lire(lu.data(), {});
  bilan.verifier(Reussi(r) && lu == image && banc.memoire() == image, nom + "read back: the chip holds the image",
                 Code(r));
  const long pages = fiche.Taille / TaillePage(fiche.Taille);
  bilan.verifier(banc.cycles() == pages && memoire.Scrutations() >= pages,
                 nom + "one write cycle per page, its end seen by acknowledge polling",
                 std::to_string(banc.cycles()) + " cycles, " + std::to_string(memoire.Scrutations()) + " polls");
  std::printf("bench: %s: read %.0f ms, programming %.0f ms (%ld pages, %.1f polls per write cycle)\n", fiche.NomCourt,
              lecture / 1e3, programmation / 1e3, pages,
              static_cast<double>(memoire.Scrutations()) / static_cast<double>(pages));
  std::fflush(stdout);
}

// Nothing at 0x50: the driver's status says the address was refused, which
// reaches the program as ENXIO, a refused acknowledge, even for a lone read.
void VerifierSocleVide(BilanInvite& bilan, Banc& banc) {
  banc.inserer(nullptr);
  MemoireSurBus memoire(banc.dev, {TypeMemoireParDefaut, 2048, 0}, Microsecondes);
  const Octets image(2048, 0x00);
  const ResultatBus p = memoire.Programmer(image.data(), {});
  bilan.verifier(p.code == WriteResult::SelectionNonAcquittee && p.erreur == 0,
                 "empty socket: programming gives result 1", Code(p));
  Octets lu(2048, 0x55);
  const ResultatBus l = memoire.Lire(lu.data(), {});
  std::uint8_t octet = 0;
  MessageI2c seul{0x50, true, &octet, 1};
  const int lecture = banc.dev.Transferer(&seul, 1);
  bilan.verifier(
      l.code == WriteResult::SelectionNonAcquittee && l.erreur == 0 && lu == Octets(2048, 0x55) && lecture == ENXIO,
      "empty socket: reads refused with ENXIO, the image left as it was",
      Code(l) + ", lone read errno " + std::to_string(lecture));
}

// The bytes i2ctransfer prints ("0x12 0x34 ...").
Octets OctetsLus(const std::string& texte) {
  Octets octets;
  std::istringstream champs(texte);
  std::string champ;
  while (champs >> champ) octets.push_back(static_cast<std::uint8_t>(std::strtoul(champ.c_str(), nullptr, 16)));
  return octets;
}

// Debian's i2ctransfer on a 24C64: it reads what we programmed with a
// two-address-byte read, and we read what it wrote past a page's end (the
// chip rolls over to the page's start).
void VerifierI2ctransfer(BilanInvite& bilan, Banc& banc) {
  banc.inserer(EepromModel::create(Type24C64));
  MemoireSurBus memoire(banc.dev, {Type24C64, 8192, 0}, Microsecondes);
  Octets image = Aleatoires(8192, 64);
  const ResultatBus p = memoire.Programmer(image.data(), {});
  const std::string outil = "/usr/sbin/i2ctransfer -y " + std::to_string(banc.numero) + " ";
  const Octets vu = OctetsLus(Sortie(outil + "w2@0x50 0x12 0x34 r32 2>&1"));
  bilan.verifier(Reussi(p) && vu == Octets(image.begin() + 0x1234, image.begin() + 0x1234 + 32),
                 "i2ctransfer reads at 0x1234 what we programmed",
                 Code(p) + ", " + std::to_string(vu.size()) + " bytes");

  const int etat = std::system((outil + "w6@0x50 0x1f 0xfe 0xde 0xad 0xbe 0xef").c_str());
  std::this_thread::sleep_for(std::chrono::milliseconds(20));  // the write cycle
  image[0x1FFE] = 0xDE;
  image[0x1FFF] = 0xAD;
  image[0x1FE0] = 0xBE;
  image[0x1FE1] = 0xEF;
  Octets lu(8192);
  const ResultatBus l = memoire.Lire(lu.data(), {});
  bilan.verifier(etat == 0 && Reussi(l) && lu == image,
                 "what i2ctransfer wrote across the last page's end, rolled over, is what we read",
                 "exit " + std::to_string(etat) + ", " + Code(l));
}

// zorbix32-cli on the bus by its number: ports, then programmer, lire and
// comparer of a 24C64 checked against the chip, and an empty socket.
void VerifierCli(BilanInvite& bilan, Banc& banc) {
  const std::string port = "i2c-" + std::to_string(banc.numero);
  SortieCli s = LancerCli("ports");
  std::cout << s.texte;
  bilan.verifier(s.code == 0 && s.contient("--port " + port + " : ") && s.contient("I2C complet, écriture libre"),
                 "zorbix32-cli ports lists the bus with plain I2C, writing not guarded", Resume(s));
  const std::string puce = "--puce 24C64 --port " + port + " ";
  banc.inserer(EepromModel::create(Type24C64));
  const Octets image = Aleatoires(8192, 130);
  EcrireFichier("/tmp/fichier.bin", image);
  s = LancerCli("programmer " + puce + "/tmp/fichier.bin");
  bilan.verifier(s.code == 0 && banc.memoire() == image, "zorbix32-cli programmer exits 0, the chip holds the file",
                 Resume(s));
  s = LancerCli("lire " + puce + "/tmp/lu.bin");
  bilan.verifier(s.code == 0 && LireFichier("/tmp/lu.bin") == image, "zorbix32-cli lire gives the same bytes",
                 Resume(s));
  s = LancerCli("comparer " + puce + "/tmp/fichier.bin");
  bilan.verifier(s.code == 0, "zorbix32-cli comparer exits 0", Resume(s));
  banc.inserer(nullptr);
  s = LancerCli("programmer " + puce + "/tmp/fichier.bin");
  const std::string refus = TexteLigneDeCommande(MessageProgrammation(WriteResult::SelectionNonAcquittee));
  bilan.verifier(s.code == 1 && ContientLesLignes(s, refus),
                 "zorbix32-cli, empty socket: exit 1 with result 1's message", Resume(s));
}

int Executer() {
  BilanInvite bilan;
  TinyUsbI2c appareil;
  ServeurUsbip serveur(appareil);
  std::string erreur;
  bilan.verifier(serveur.attacher(0, erreur), "vhci_hcd: emulated i2c-tiny-usb attached at low speed", erreur);
  const std::uint64_t debut = Microsecondes();
  std::vector<BusI2cListe> liste;
  const BusI2cListe* bus = AttendreBus(liste);
  bilan.verifier(bus && bus->genre == GenreBusI2c::Ordinaire, "its bus is listed by name, as a bus a user wires");
  if (bus) {
    std::printf("bench: bus %s after %.2f s\n", NomBusI2c(*bus).c_str(), (Microsecondes() - debut) / 1e6);
    BusI2cDev dev("/dev/i2c-" + std::to_string(bus->numero), AppelsSysteme());
    int delai = 0;
    {
      const auto verrou = serveur.verrou();
      delai = appareil.delaiBitUs();
    }
    bilan.verifier(dev.Ouvert() && (dev.Fonctions() & I2C_FUNC_I2C) && delai == 10,
                   "/dev/i2c-N opens, offers plain I2C messages, the driver set its bit delay",
                   "errno " + std::to_string(dev.Erreur()) + ", delay " + std::to_string(delai));
    Banc banc(serveur, appareil, dev, bus->numero);
    for (int type = 0; type < NombreTypesMemoire; ++type) VerifierType(bilan, banc, type);
    VerifierSocleVide(bilan, banc);
    VerifierI2ctransfer(bilan, banc);
    VerifierCli(bilan, banc);
    const auto verrou = serveur.verrou();
    std::printf("bench: %ld control requests, %ld I2C messages in %.2f s\n", serveur.controles(), appareil.messages(),
                (Microsecondes() - debut) / 1e6);
  }
  serveur.detacher();
  bilan.resumer();
  return bilan.echecs() == 0 ? 0 : 1;
}

}  // namespace
}  // namespace zorbix

int main() { return zorbix::Executer(); }
