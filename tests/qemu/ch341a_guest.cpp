// Runs inside the emulated PC against the kernel's USB core, usbfs and
// vhci-hcd: an emulated CH341A (usbip_ch341a.h) attached over a socket pair
// enumerates as 1a86:5512, and the program's own libusb transport and chip
// operations read, program by pages and compare every chip type through it;
// then an empty socket, a chip that never ends its write cycle, a user
// without the rights, and the cable pulled in the middle of a programming
// run. The same device then serves the real zorbix32-cli (guest_cli.h):
// ports, programmer, lire, comparer, an empty socket and a cable pulled.
// One line per check, "bench:" lines, and "N passed, N failed" last; exit
// code 1 on any failure.
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "cli/cli_texts.h"
#include "engine/chips.h"
#include "engine/sim/eeprom_model.h"
#include "engine/transfer_messages.h"
#include "engine/usb/ch341a_chip.h"
#include "engine/usb/ch341a_usb.h"
#include "guest_checks.h"
#include "guest_cli.h"
#include "usbip_ch341a.h"

namespace zorbix {
namespace {

using Octets = std::vector<std::uint8_t>;
using Horloge = std::chrono::steady_clock;

double Secondes(Horloge::time_point debut) {
  return std::chrono::duration<double>(Horloge::now() - debut).count();
}

// The CH341As libusb lists, waited for until there are `nombre` of them.
std::vector<Ch341aBranche> Attendre(std::size_t nombre) {
  std::vector<Ch341aBranche> liste;
  for (int essai = 0; essai < 100; ++essai) {
    std::string erreur;
    liste = ListerCh341a(erreur);
    if (liste.size() == nombre) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  return liste;
}

struct Banc {
  Banc(ReponseurUsbip& r, Ch341aDevice& d, std::string c) : reponseur(r), device(d), chemin(std::move(c)) {}
  ~Banc() { inserer(nullptr); }

  // Puts `modele` (nullptr: nothing) in the socket, in place of the chip
  // there, which the bench keeps until then: the device drives its clock.
  EepromModel* inserer(std::unique_ptr<EepromModel> modele) {
    const auto verrou = reponseur.verrou();
    device.inserer(modele.get());
    dansLeSocle = std::move(modele);
    return dansLeSocle.get();
  }
  Octets memoire(EepromModel& modele) {
    const auto verrou = reponseur.verrou();
    return modele.memory();
  }

  ReponseurUsbip& reponseur;
  Ch341aDevice& device;
  std::string chemin;
  std::unique_ptr<EepromModel> dansLeSocle;
};

void VerifierType(BilanInvite& bilan, Banc& banc, int type) {
  const ChipSpec& fiche = SpecMemoire(type);
  const std::string nom = std::string(fiche.NomCourt) + ": ";
  EepromModel* modele = banc.inserer(EepromModel::create(type));
  modele->memory() = Aleatoires(fiche.Taille, 40u + static_cast<unsigned>(type));
  const Octets contenu = modele->memory();
  std::string erreur;
  std::unique_ptr<TransportUsb> usb = TransportUsb::Ouvrir(banc.chemin, erreur);
  bilan.verifier(usb != nullptr, nom + "interface 0 claimed through libusb", erreur);
  if (!usb) return;
  const ReglagesCh341a reglages{type % 2 ? VitesseBus::K400 : VitesseBus::K100, 0};
  PuceCh341a puce(*usb, type, fiche.Taille, reglages, HorlogeReelle());
  Octets lu(static_cast<std::size_t>(fiche.Taille));
  Horloge::time_point debut = Horloge::now();
  bilan.verifier(puce.lireMemoire(lu.data(), nullptr) == EtatLecture::Lue && lu == contenu,
                 nom + "whole-chip read gives the chip's contents");
  const double lecture = Secondes(debut);
  const Octets image = Aleatoires(fiche.Taille, 80u + static_cast<unsigned>(type));
  debut = Horloge::now();
  const ResultatEcritureCh341a r = puce.programmerMemoireEntiere(image.data(), true, nullptr);
  const double programmation = Secondes(debut);
  bilan.verifier(r.Code == WriteResult::EcritureReussie && !r.Debranche, nom + "programmed by pages",
                 "result " + std::to_string(static_cast<int>(r.Code)));
  Octets zone(static_cast<std::size_t>(fiche.Taille));
  const ResultatComparaisonCh341a c = puce.comparerMemoire(image.data(), zone.data(), nullptr);
  bilan.verifier(c.Comparaison.Acquittee && c.Comparaison.Differences == 0, nom + "compare finds no difference");
  bilan.verifier(banc.memoire(*modele) == image, nom + "the chip holds the image");
  const long pages = fiche.Taille / TaillePage(fiche.Taille);
  bilan.verifier(puce.cyclesEcriture() == pages && puce.scrutations() >= pages,
                 nom + "one acknowledge-polled write cycle per page",
                 std::to_string(puce.cyclesEcriture()) + " cycles, " + std::to_string(puce.scrutations()) + " polls");
  std::printf("bench: %s at %d kHz: read %.2f s, programming %.2f s (%ld pages, %.1f polls per write cycle)\n",
              fiche.NomCourt, FrequenceHz(reglages.Vitesse) / 1000, lecture, programmation, pages,
              static_cast<double>(puce.scrutations()) / static_cast<double>(pages));
  std::fflush(stdout);
}

void VerifierSocleVide(BilanInvite& bilan, Banc& banc) {
  banc.inserer(nullptr);
  std::string erreur;
  std::unique_ptr<TransportUsb> usb = TransportUsb::Ouvrir(banc.chemin, erreur);
  if (!usb) return bilan.verifier(false, "empty socket: device opened", erreur);
  PuceCh341a puce(*usb, TypeMemoireParDefaut, 2048, {}, HorlogeReelle());
  const Octets image(2048, 0x00);
  const ResultatEcritureCh341a r = puce.programmerMemoireEntiere(image.data(), true, nullptr);
  bilan.verifier(r.Code == WriteResult::SelectionNonAcquittee && !r.Debranche &&
                     std::string(MessageCh341a(r)) == MessageProgrammation(WriteResult::SelectionNonAcquittee),
                 "empty socket: programming gives result 1 and its message");
  Octets lu(2048, 0x55);
  bilan.verifier(puce.lireMemoire(lu.data(), nullptr) == EtatLecture::NonAcquittee && lu == Octets(2048, 0x55),
                 "empty socket: the read is refused and the image left as it was");
}

void VerifierCycleSansFin(BilanInvite& bilan, Banc& banc) {
  EepromModel* modele = banc.inserer(EepromModel::create(TypeMemoireParDefaut));
  modele->setNeverEndsWriteCycle(true);
  std::string erreur;
  std::unique_ptr<TransportUsb> usb = TransportUsb::Ouvrir(banc.chemin, erreur);
  if (!usb) return bilan.verifier(false, "endless write cycle: device opened", erreur);
  PuceCh341a puce(*usb, TypeMemoireParDefaut, 2048, {}, HorlogeReelle());
  const Octets image = Aleatoires(2048, 9);
  const Horloge::time_point debut = Horloge::now();
  const ResultatEcritureCh341a r = puce.programmerMemoireEntiere(image.data(), true, nullptr);
  const double duree = Secondes(debut);
  bilan.verifier(r.Code == WriteResult::FinEcritureNonVue && !r.Debranche && duree >= DelaiFinEcritureMs / 1000.0,
                 "endless write cycle: result 5 once the deadline has passed",
                 "result " + std::to_string(static_cast<int>(r.Code)) + " after " + std::to_string(duree) + " s");
  std::printf("bench: endless write cycle given up after %.3f s and %ld polls\n", duree, puce.scrutations());
}

// As a user without the udev rule: the device is listed, not accessible,
// and the report line says so.
void VerifierSansDroits(BilanInvite& bilan) {
  std::fflush(stdout);
  const pid_t enfant = ::fork();
  if (enfant == 0) {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(3);
    std::string erreur;
    const std::vector<Ch341aBranche> liste = ListerCh341a(erreur);
    for (const auto& ch341a : liste) std::cout << "report| " << LigneRapportCh341a(ch341a) << std::endl;
    const bool refuse = liste.size() == 1 && !liste[0].accessible &&
                        LigneRapportCh341a(liste[0]).find("présent mais inaccessible (droits insuffisants") !=
                            std::string::npos;
    ::_exit(refuse ? 0 : 1);
  }
  int etat = 0;
  ::waitpid(enfant, &etat, 0);
  bilan.verifier(WIFEXITED(etat) && WEXITSTATUS(etat) == 0,
                 "a user without the rights: listed, reported present but not accessible");
}

void VerifierDebranchement(BilanInvite& bilan, Banc& banc) {
  banc.inserer(EepromModel::create(8));
  std::string erreur;
  std::unique_ptr<TransportUsb> usb = TransportUsb::Ouvrir(banc.chemin, erreur);
  if (!usb) return bilan.verifier(false, "unplugged: device opened", erreur);
  {
    const auto verrou = banc.reponseur.verrou();
    banc.reponseur.couperApres(banc.reponseur.sortiesBulk() + 40);
  }
  PuceCh341a puce(*usb, 8, 8192, {}, HorlogeReelle());
  const Octets image = Aleatoires(8192, 10);
  int derniere = -1;
  const ResultatEcritureCh341a r = puce.programmerMemoireEntiere(image.data(), true, [&](int p) { derniere = p; });
  bilan.verifier(r.Debranche && r.Code != WriteResult::EcritureReussie &&
                     std::string(MessageCh341a(r)) == TexteCh341aDebranche,
                 "unplugged during programming: the run ends with the unplugged message",
                 "last page at " + std::to_string(derniere));
  std::cout << "message| " << MessageCh341a(r) << std::endl;
  usb.reset();
  bilan.verifier(Attendre(0).empty(), "unplugged: the device is gone from the USB bus");
}

// zorbix32-cli on `type`: programmer (verified), lire and comparer of one
// file, checked against the chip itself.
void VerifierCliType(BilanInvite& bilan, Banc& banc, int type) {
  const ChipSpec& fiche = SpecMemoire(type);
  const std::string nom = std::string("zorbix32-cli, ") + fiche.NomCourt + ": ";
  const std::string puce = std::string("--puce ") + fiche.NomCourt + " --port ch341a ";
  EepromModel* modele = banc.inserer(EepromModel::create(type));
  const Octets image = Aleatoires(fiche.Taille, 120u + static_cast<unsigned>(type));
  EcrireFichier("/tmp/fichier.bin", image);
  SortieCli s = LancerCli("programmer " + puce + "/tmp/fichier.bin");
  bilan.verifier(s.code == 0 && banc.memoire(*modele) == image, nom + "programmer exits 0, the chip holds the file",
                 Resume(s));
  bilan.verifier(s.contient("Vérification : la mémoire contient le fichier."), nom + "programmer verified",
                 Resume(s));
  s = LancerCli("lire " + puce + "/tmp/lu.bin");
  bilan.verifier(s.code == 0 && LireFichier("/tmp/lu.bin") == image, nom + "lire gives the same bytes", Resume(s));
  s = LancerCli("comparer " + puce + "/tmp/fichier.bin");
  bilan.verifier(s.code == 0, nom + "comparer exits 0", Resume(s));
}

void VerifierCli(BilanInvite& bilan, Banc& banc) {
  banc.inserer(EepromModel::create(TypeMemoireParDefaut));
  SortieCli s = LancerCli("ports");
  std::cout << s.texte;
  bilan.verifier(s.code == 0 && s.contient("CH341A (USB " + banc.chemin + ")"), "zorbix32-cli ports lists the CH341A",
                 Resume(s));
  for (const char* nom : {"24C16", "24C512"}) VerifierCliType(bilan, banc, TypeDepuisNom(nom));

  banc.inserer(nullptr);
  EcrireFichier("/tmp/fichier.bin", Aleatoires(2048, 7));
  s = LancerCli("programmer --puce 24C16 --port ch341a /tmp/fichier.bin");
  const std::string refus = TexteLigneDeCommande(MessageProgrammation(WriteResult::SelectionNonAcquittee));
  bilan.verifier(s.code == 1 && ContientLesLignes(s, refus),
                 "zorbix32-cli, empty socket: exit 1 with result 1's message", Resume(s));
}

// After the library's own unplugged run: the device attached again on
// another port, then pulled in the middle of a zorbix32-cli programmer.
void VerifierCliDebranche(BilanInvite& bilan, Banc& banc) {
  std::string erreur;
  banc.reponseur.detacher();
  banc.reponseur.couperApres(-1);
  EepromModel* modele = banc.inserer(EepromModel::create(TypeDepuisNom("24C64")));
  const bool attache = banc.reponseur.attacher(1, erreur) && Attendre(1).size() == 1;
  bilan.verifier(attache, "zorbix32-cli, unplugged: the CH341A attached again", erreur);
  if (!attache) return;
  const Octets avant = banc.memoire(*modele);
  EcrireFichier("/tmp/fichier.bin", Aleatoires(8192, 8));
  {
    const auto verrou = banc.reponseur.verrou();
    banc.reponseur.couperApres(banc.reponseur.sortiesBulk() + 60);
  }
  const SortieCli s = LancerCli("programmer --puce 24C64 --port ch341a /tmp/fichier.bin");
  std::cout << s.texte;
  bilan.verifier(s.code == 1 && ContientLesLignes(s, TexteCh341aDebranche),
                 "zorbix32-cli, unplugged during programmer: exit 1 with the unplugged message", Resume(s));
  bilan.verifier(banc.memoire(*modele) != avant, "zorbix32-cli, unplugged: the run had started writing");
  bilan.verifier(Attendre(0).empty(), "zorbix32-cli, unplugged: the device is gone from the USB bus");
}

int Executer() {
  BilanInvite bilan;
  Ch341aDevice device(nullptr);
  ReponseurUsbip reponseur(device);
  std::string erreur;
  bilan.verifier(reponseur.attacher(0, erreur), "vhci_hcd: emulated CH341A attached at full speed", erreur);
  const Horloge::time_point debut = Horloge::now();
  const std::vector<Ch341aBranche> liste = Attendre(1);
  bilan.verifier(liste.size() == 1 && liste[0].accessible, "libusb lists one accessible CH341A");
  if (bilan.echecs() == 0) {
    std::cout << "report| " << LigneRapportCh341a(liste[0]) << std::endl;
    std::printf("bench: enumeration in %.2f s\n", Secondes(debut));
    bilan.verifier(LigneRapportCh341a(liste[0]) == "CH341A (USB " + liste[0].chemin + ") : " + liste[0].noeud +
                                                      " (libusb)",
                   "start-up report line names the device by its bus and port path");
    Banc banc(reponseur, device, liste[0].chemin);
    for (int type = 0; type < NombreTypesMemoire; ++type) VerifierType(bilan, banc, type);
    VerifierSocleVide(bilan, banc);
    VerifierCycleSansFin(bilan, banc);
    VerifierSansDroits(bilan);
    VerifierCli(bilan, banc);
    VerifierDebranchement(bilan, banc);
    VerifierCliDebranche(bilan, banc);
    const auto verrou = reponseur.verrou();
    std::printf("bench: %ld bulk OUT transfers answered through USB/IP\n", reponseur.sortiesBulk());
  }
  reponseur.detacher();
  bilan.resumer();
  return bilan.echecs() == 0 ? 0 : 1;
}

}  // namespace
}  // namespace zorbix

int main() { return zorbix::Executer(); }
