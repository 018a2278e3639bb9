// Runs inside the emulated PC, as its init's child, against the kernel's
// parport, parport_pc and ppdev drivers and the emulated ports at 0x378,
// 0x278 and 0xDC00, an extra port as a PCI card would have (nothing at
// 0x3BC). It goes through the program's own start-up
// choice of backends and LirePort / EcrirePort, prints one line per check,
// two benchmark lines, and "N passed, N failed" last; exit code 1 on any
// failure.
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <linux/ppdev.h>

#include "engine/backends/parport_lookup.h"
#include "engine/port_identity.h"
#include "engine/lines.h"
#include "engine/port.h"
#include "engine/port_claim.h"
#include "engine/backends/port_setup.h"
#include "guest_system.h"
#include "guest_checks.h"

namespace zorbix {
namespace {

// QEMU's emulated port with nothing on it: busy, acknowledge, select and
// error lines all read high, and nothing can drive them.
constexpr std::uint8_t EtatPortEmule = 0xD8;
constexpr std::uint16_t PortSupplementaireEmule = 0xDC00;
constexpr std::uint16_t PortsEmules[3] = {AdresseLPT1, AdresseLPT2, PortSupplementaireEmule};
// Marks left on each port by ppdev and looked for through direct I/O.
const std::map<std::uint16_t, std::uint8_t> Marques = {
    {AdresseLPT1, 0x5A}, {AdresseLPT2, 0xA5}, {PortSupplementaireEmule, 0x3C}};
const char* const DossierSansPpdev = "/tmp/sans_ppdev";
constexpr std::chrono::milliseconds DureeMesure{500};

std::string Hex(unsigned valeur) {
  char texte[8];
  std::snprintf(texte, sizeof texte, "0x%02X", valeur);
  return texte;
}

// What one backend makes of one port, for comparing backends.
struct Releve {
  std::vector<std::uint8_t> relus;  // data register after writing 0..255
  std::uint8_t etat = 0;
  std::uint8_t sousTension = 0;
  std::uint8_t horsTension = 0;

  bool operator==(const Releve& autre) const {
    return relus == autre.relus && etat == autre.etat && sousTension == autre.sousTension &&
           horsTension == autre.horsTension;
  }
};

Releve ReleverPort(std::uint16_t base) {
  Releve releve;
  for (unsigned valeur = 0; valeur < 256; ++valeur) {
    EcrirePort(base, static_cast<std::uint8_t>(valeur));
    releve.relus.push_back(LirePort(base));
  }
  // 0x00 on the data register: a status read that went to it instead shows.
  EcrirePort(base, 0x00);
  releve.etat = LirePort(static_cast<std::uint16_t>(base + 1));
  MiseSousTension(base);
  releve.sousTension = LirePort(base);
  MiseHorsTension(base);
  releve.horsTension = LirePort(base);
  return releve;
}

void VerifierReleve(BilanInvite& bilan, const std::string& backend, std::uint16_t base, const Releve& releve) {
  const std::string port = backend + " " + TexteAdressePort(base) + ": ";
  int faux = 0;
  std::string premier;
  for (unsigned valeur = 0; valeur < 256; ++valeur) {
    if (releve.relus[valeur] == valeur) continue;
    if (faux++ == 0) premier = "wrote " + Hex(valeur) + ", read " + Hex(releve.relus[valeur]);
  }
  bilan.verifier(faux == 0, port + "every value 0..255 written to the data register reads back",
                 std::to_string(faux) + " wrong, first: " + premier);
  bilan.verifier(releve.etat == EtatPortEmule, port + "status register read at base + 1",
                 "read " + Hex(releve.etat) + ", expected " + Hex(EtatPortEmule));
  bilan.verifier(releve.sousTension == ValeurSousTension, port + "MiseSousTension leaves 0xF5",
                 "read " + Hex(releve.sousTension));
  bilan.verifier(releve.horsTension == ValeurHorsTension, port + "MiseHorsTension leaves 0x06",
                 "read " + Hex(releve.horsTension));
}

void VerifierAdresseSansPort(BilanInvite& bilan, const std::string& backend) {
  EcrirePort(AdresseLPT3, 0x00);
  const std::uint8_t donnees = LirePort(AdresseLPT3);
  const std::uint8_t etat = LirePort(AdresseLPT3 + 1);
  bilan.verifier(donnees == 0xFF && etat == 0xFF, backend + " 0x3BC: no port there, both registers read 0xFF",
                 "data " + Hex(donnees) + ", status " + Hex(etat));
}

// Installs with `parametres`, the report going to standard error as at
// start-up; returns what was written there, also shown on the console.
std::unique_ptr<PortsInstalles> InstallerAvecRapport(const ParametresPorts& parametres, std::string& rapport) {
  CaptureErreurStandard capture;
  std::string erreur;
  std::unique_ptr<PortsInstalles> ports = InstallerPorts(parametres, erreur);
  if (ports) AfficherRapportPorts(*ports, std::cerr);
  rapport = capture.terminer();
  std::istringstream lignes(rapport);
  for (std::string ligne; std::getline(lignes, ligne);) std::cout << "report| " << ligne << std::endl;
  if (!ports) std::cout << "InstallerPorts refused: " << erreur << std::endl;
  return ports;
}

// Write-and-read pairs on the data register for about DureeMesure; the
// count adapts to how slow the emulated machine is.
double NanosecondesParAcces(std::uint16_t base, long& acces) {
  using Horloge = std::chrono::steady_clock;
  const Horloge::time_point debut = Horloge::now();
  acces = 0;
  while (Horloge::now() - debut < DureeMesure) {
    for (int i = 0; i < 100; ++i) {
      EcrirePort(base, static_cast<std::uint8_t>(i));
      LirePort(base);
    }
    acces += 200;
  }
  const std::chrono::duration<double, std::nano> duree = Horloge::now() - debut;
  return duree.count() / static_cast<double>(acces);
}

void Mesurer(const std::string& backend) {
  for (std::uint16_t base : PortsEmules) {
    long acces = 0;
    const double nanosecondes = NanosecondesParAcces(base, acces);
    std::printf("bench: %s, one access to %s: %.0f ns (mean of %ld data register writes and reads)\n",
                backend.c_str(), TexteAdressePort(base).c_str(), nanosecondes, acces);
  }
  std::fflush(stdout);
}

// The journal of the real ppdev calls: each port asked about at start-up
// without being claimed, then claimed before any access, with the kernel
// naming our device as the holder, and released last.
void VerifierReservations(BilanInvite& bilan, const JournalPpdev& journal, const std::map<std::uint16_t, int>& numeros) {
  bilan.verifier(journal.peripheriques().size() == 3, "ppdev: one device opened per emulated port",
                 std::to_string(journal.peripheriques().size()) + " opened");
  for (const auto& [fd, suivi] : journal.peripheriques()) {
    const std::string nom = "ppdev /dev/parport" + std::to_string(suivi.parport) + ": ";
    bool connu = false;
    for (const auto& [base, numero] : numeros) connu = connu || suivi.parport == numero;
    bilan.verifier(connu, nom + "opened for one of the emulated ports");
    bilan.verifier(suivi.requetes.size() > 1 && suivi.requetes[0] == PPGETMODES && suivi.requetes[1] == PPCLAIM,
                   nom + "PPGETMODES at start-up, then PPCLAIM before any access");
    bilan.verifier(suivi.actifApresReservation.rfind("ppdev", 0) == 0,
                   nom + "the kernel shows our ppdev device holding the port once claimed",
                   "devices/active: '" + suivi.actifApresReservation + "'");
    bilan.verifier(suivi.requetes.size() > 1 && suivi.requetes.back() == PPRELEASE && suivi.ferme &&
                       !suivi.ioctlApresFermeture,
                   nom + "PPRELEASE is the last ioctl, then the device is closed");
    bilan.verifier(suivi.actifApresLiberation == "none", nom + "the kernel shows the port free once released",
                   "devices/active: '" + suivi.actifApresLiberation + "'");
  }
}

// The report line of a port the kernel does not list: no ppdev, and no
// direct I/O either, even with the permission, since the driver is loaded.
const std::string LigneLPT3Absent =
    "LPT3 (0x3BC) : aucun port (aucun /dev/parport à l'adresse 0x3BC ; pas d'accès direct : le pilote "
    "parport du noyau ne voit aucun port à cette adresse)\n";

std::string NomSupplementaire(const std::map<std::uint16_t, int>& numeros) {
  return "parport" + std::to_string(numeros.at(PortSupplementaireEmule));
}

// The report's name of a port: "LPT1 (0x378)", "parport2 (0xDC00)".
std::string Designation(std::uint16_t base, const std::string& nom = "") {
  return TextePort(nom.empty() ? IdentiteDuPort(base, {}) : IdentitePort{GenrePort::Parallele, nom, base},
                   FormePort::Rapport);
}

std::string RapportPpdevAttendu(const std::map<std::uint16_t, int>& numeros) {
  std::string attendu;
  for (std::uint16_t base : {AdresseLPT1, AdresseLPT2})
    attendu += Designation(base) + " : /dev/parport" + std::to_string(numeros.at(base)) + " (ppdev)\n";
  return attendu + LigneLPT3Absent + Designation(PortSupplementaireEmule, NomSupplementaire(numeros)) +
         " : /dev/" + NomSupplementaire(numeros) + " (ppdev)\n";
}

// The extra port as the program's own look-up and start-up list it: by the
// kernel's name for it in this boot, at its address.
void VerifierListeSupplementaires(BilanInvite& bilan, const PortsSupplementaires& liste,
                                  const std::map<std::uint16_t, int>& numeros, const std::string& quoi) {
  const bool bon = liste.size() == 1 && liste[0].nom == NomSupplementaire(numeros) &&
                   liste[0].base == PortSupplementaireEmule;
  bilan.verifier(bon, quoi + ": 0xDC00 is the one extra port, named " + NomSupplementaire(numeros),
                 liste.empty() ? "empty list" : liste[0].nom + " at " + TexteAdressePort(liste[0].base));
}

// As a user in the lp group runs it: no I/O permission, ppdev for the two
// ports the kernel found, the absent port for 0x3BC.
std::map<std::uint16_t, Releve> VerifierPpdev(BilanInvite& bilan, const std::map<std::uint16_t, int>& numeros) {
  std::map<std::uint16_t, Releve> releves;
  for (std::uint16_t base : PortsEmules)
    bilan.verifier(PeripheriqueActif(numeros.at(base)) == "none",
                   "kernel: parport" + std::to_string(numeros.at(base)) + " free before start-up");
  JournalPpdev journal;
  ParametresPorts parametres = ParametresDepuisEnvironnement();
  parametres.appelsPpdev = journal.appels();
  std::string rapport;
  if (std::unique_ptr<PortsInstalles> ports = InstallerAvecRapport(parametres, rapport)) {
    bilan.verifier(rapport == RapportPpdevAttendu(numeros),
                   "start-up report on standard error: each port on its /dev/parportN, 0x3BC absent",
                   "expected:\n" + RapportPpdevAttendu(numeros));
    VerifierListeSupplementaires(bilan, ports->supplementaires(), numeros, "InstallerPorts");
    for (std::uint16_t base : PortsEmules) {
      bilan.verifier(PeripheriqueActif(numeros.at(base)) == "none",
                     "kernel: parport" + std::to_string(numeros.at(base)) + " still free after start-up");
      const PortPris prise(base);
      bilan.verifier(prise.Pris(), "ppdev " + TexteAdressePort(base) + ": taken for the operation", prise.Raison());
      releves[base] = ReleverPort(base);
      VerifierReleve(bilan, "ppdev", base, releves[base]);
    }
    VerifierAdresseSansPort(bilan, "absent port");
    for (const auto& [base, marque] : Marques) {
      PortPris prise(base);
      EcrirePort(base, marque);
      bilan.verifier(prise.Rendre(), "ppdev " + TexteAdressePort(base) + ": given back", prise.Raison());
    }
  }
  VerifierReservations(bilan, journal, numeros);
  return releves;
}

std::string RapportDirectAttendu(const std::map<std::uint16_t, int>& numeros) {
  const std::string noeud = std::string(DossierSansPpdev) + "/parport";
  // The lookup in /proc still works, only the device nodes are missing.
  const auto ligne = [&](const std::string& designation, std::uint16_t base) {
    return designation + " : accès direct aux ports d'E/S (ppdev : " + noeud + std::to_string(numeros.at(base)) +
           " absent (module ppdev non chargé ?))\n";
  };
  return ligne(Designation(AdresseLPT1), AdresseLPT1) + ligne(Designation(AdresseLPT2), AdresseLPT2) +
         LigneLPT3Absent + ligne(Designation(PortSupplementaireEmule, NomSupplementaire(numeros)),
                                 PortSupplementaireEmule);
}

// As root on a machine without ppdev nodes: direct I/O for every port the
// kernel lists, never for 0x3BC where it lists none.
void VerifierAccesDirect(BilanInvite& bilan, const std::map<std::uint16_t, Releve>& relevesPpdev,
                         const std::map<std::uint16_t, int>& numeros) {
  ::mkdir(DossierSansPpdev, 0755);
  ParametresPorts parametres = ParametresDepuisEnvironnement();
  parametres.racines.dev = DossierSansPpdev;
  std::string rapport;
  std::unique_ptr<PortsInstalles> ports = InstallerAvecRapport(parametres, rapport);
  if (!ports) return bilan.verifier(false, "direct I/O: InstallerPorts");
  bilan.verifier(rapport == RapportDirectAttendu(numeros),
                 "start-up report: direct I/O for each port the kernel lists, refused for 0x3BC",
                 "expected:\n" + RapportDirectAttendu(numeros));
  for (const auto& [base, marque] : Marques)
    bilan.verifier(LirePort(base) == marque,
                   "direct I/O " + TexteAdressePort(base) + ": reads the mark ppdev left on the port at that address",
                   "read " + Hex(LirePort(base)) + ", expected " + Hex(marque));
  for (std::uint16_t base : PortsEmules) {
    const Releve releve = ReleverPort(base);
    VerifierReleve(bilan, "direct I/O", base, releve);
    const auto ppdev = relevesPpdev.find(base);
    bilan.verifier(ppdev != relevesPpdev.end() && ppdev->second == releve,
                   "direct I/O " + TexteAdressePort(base) + ": same results as ppdev");
  }
  VerifierAdresseSansPort(bilan, "absent port, with the I/O permission");
  Mesurer("direct I/O (inb/outb)");
}

void MesurerPpdev(BilanInvite& bilan) {
  std::string rapport;
  std::unique_ptr<PortsInstalles> ports = InstallerAvecRapport(ParametresDepuisEnvironnement(), rapport);
  const bool ppdev = ports && rapport.rfind("LPT1 (0x378) : /dev/parport", 0) == 0;
  bilan.verifier(ppdev, "benchmark: LPT1 on ppdev");
  if (!ppdev) return;
  std::vector<std::unique_ptr<PortPris>> prises;
  for (std::uint16_t base : PortsEmules) prises.push_back(std::make_unique<PortPris>(base));
  Mesurer("ppdev (one ioctl)");
}

// What a second process that wants LPT1 while this one holds it got: the
// reason it gave and how long it took, through a pipe.
struct ReservationConcurrente {
  bool prise = true;
  std::string raison;
  double secondes = 0;
};

// Starts that process; returns the reading end of its pipe, or -1.
int ReserverDansUnAutreProcessus() {
  int fds[2];
  if (::pipe(fds) != 0) return -1;
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(fds[0]);
    std::string erreur;
    std::unique_ptr<PortsInstalles> ports = InstallerPorts(ParametresDepuisEnvironnement(), erreur);
    const auto debut = std::chrono::steady_clock::now();
    PortPris prise(AdresseLPT1);
    const std::chrono::duration<double> duree = std::chrono::steady_clock::now() - debut;
    const std::string message =
        std::string(prise.Pris() ? "1" : "0") + std::to_string(duree.count()) + "\n" + prise.Raison();
    [[maybe_unused]] const ssize_t n = ::write(fds[1], message.data(), message.size());
    ::_exit(0);
  }
  ::close(fds[1]);
  return fds[0];
}

ReservationConcurrente LireReservation(int tube) {
  if (tube < 0) return {};
  std::string texte;
  char bloc[512];
  for (ssize_t n; (n = ::read(tube, bloc, sizeof bloc)) > 0;) texte.append(bloc, static_cast<std::size_t>(n));
  ::close(tube);
  ::wait(nullptr);
  ReservationConcurrente r;
  const std::size_t fin = texte.find('\n');
  if (texte.empty() || fin == std::string::npos) return r;
  r.prise = texte[0] == '1';
  r.secondes = std::stod(texte.substr(1, fin - 1));
  r.raison = texte.substr(fin + 1);
  return r;
}

// This process holds LPT1 for an operation; another one wants it: ppdev
// would let it sleep in PPCLAIM for good (and, as ppdev serialises its
// ioctls, block this process's next access with it). It must give up within
// its bound, naming the port and the kernel's holder (our ppdev device), and
// this process's next access and its release then complete.
void VerifierPortOccupe(BilanInvite& bilan, const std::map<std::uint16_t, int>& numeros) {
  std::string rapport;
  std::unique_ptr<PortsInstalles> ports = InstallerAvecRapport(ParametresDepuisEnvironnement(), rapport);
  if (!ports) return bilan.verifier(false, "busy port: InstallerPorts");
  PortPris prise(AdresseLPT1);
  bilan.verifier(prise.Pris(), "busy port: the first process takes LPT1", prise.Raison());
  const std::string detenteur = PeripheriqueActif(numeros.at(AdresseLPT1));
  const int tube = ReserverDansUnAutreProcessus();
  ::usleep(500000);  // the other process is in PPCLAIM by now
  // The mark the direct I/O run looks for afterwards, written again.
  EcrirePort(AdresseLPT1, Marques.at(AdresseLPT1));
  bilan.verifier(LirePort(AdresseLPT1) == Marques.at(AdresseLPT1), "busy port: the holder's next access completes");
  bilan.verifier(prise.Rendre(), "busy port: the holder's release completes", prise.Raison());
  const ReservationConcurrente autre = LireReservation(tube);
  const std::string peripherique = "/dev/parport" + std::to_string(numeros.at(AdresseLPT1));
  bilan.verifier(!autre.prise && autre.raison == peripherique + " (0x378) occupé par un autre programme (« " +
                                                    detenteur + " » selon le noyau) : réessayez quand il aura "
                                                    "libéré le port",
                 "busy port: the second process is told who holds it (" + detenteur + ")", autre.raison);
  std::cout << "busy port: the second process gave up after " << autre.secondes << " s" << std::endl;
  bilan.verifier(autre.secondes < 10, "busy port: the second process gave up within its bound, not in the kernel");
  bilan.verifier(PeripheriqueActif(numeros.at(AdresseLPT1)) == "none",
                 "busy port: free once both are done (no claim left queued)");
  PortPris encore(AdresseLPT1);
  bilan.verifier(encore.Pris(), "busy port: taken again at once", encore.Raison());
}

int Executer() {
  BilanInvite bilan;
  bilan.verifier(ChoisirDroitEntreesSorties(false), "CAP_SYS_RAWIO dropped for the ppdev runs");
  std::map<std::uint16_t, int> numeros;
  for (std::uint16_t base : PortsEmules) {
    const std::optional<int> n = ParportSelonLeNoyau(base);
    bilan.verifier(n.has_value(), "kernel: a parport at " + TexteAdressePort(base));
    if (n) std::cout << "kernel: " << TexteAdressePort(base) << " is parport" << *n << std::endl;
    numeros[base] = n.value_or(-1);
  }
  if (bilan.echecs() == 0) {
    VerifierListeSupplementaires(bilan, PortsSupplementairesDuNoyau(), numeros, "PortsSupplementairesDuNoyau");
    MesurerPpdev(bilan);
    const std::map<std::uint16_t, Releve> releves = VerifierPpdev(bilan, numeros);
    VerifierPortOccupe(bilan, numeros);
    bilan.verifier(ChoisirDroitEntreesSorties(true), "CAP_SYS_RAWIO back for the direct I/O run");
    VerifierAccesDirect(bilan, releves, numeros);
  }
  bilan.resumer();
  return bilan.echecs() == 0 ? 0 : 1;
}

}  // namespace
}  // namespace zorbix

int main() { return zorbix::Executer(); }
