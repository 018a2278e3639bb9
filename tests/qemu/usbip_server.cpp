#include "usbip_ch341a.h"

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fstream>

namespace zorbix {
namespace {

constexpr std::uint32_t CmdSubmit = 1, CmdUnlink = 2, RetSubmit = 3, RetUnlink = 4;
constexpr std::uint32_t DirectionSortie = 0;
constexpr std::size_t TailleEntete = 48;
constexpr int VitessePleine = 2;
const char* const Vhci = "/sys/devices/platform/vhci_hcd.0/";

// The descriptors of the board: vendor class, bulk endpoints 0x82 and 0x02
// of 32 bytes, the interrupt endpoint 0x81 it has but the I2C mode never uses.
constexpr std::uint8_t DescripteurAppareil[18] = {18,   1, 0x10, 0x01, 0xFF, 0, 0, 8, 0x86, 0x1A,
                                                   0x12, 0x55, 0x04, 0x03, 0, 0, 0, 1};
constexpr std::uint8_t DescripteurConfiguration[39] = {
    9, 2, 39, 0, 1, 1, 0, 0x80, 0x31,      // one interface, bus powered, 98 mA
    9, 4, 0, 0, 3, 0xFF, 1, 2, 0,          // interface 0, three endpoints, vendor class
    7, 5, 0x82, 2, 32, 0, 0,               // bulk IN
    7, 5, 0x02, 2, 32, 0, 0,               // bulk OUT
    7, 5, 0x81, 3, 8, 0, 1};               // interrupt IN

std::uint32_t Lire32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
         static_cast<std::uint32_t>(p[2]) << 8 | p[3];
}

void Ecrire32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}

bool LireTout(int fd, std::uint8_t* octets, std::size_t n) {
  for (std::size_t lus = 0; lus < n;) {
    const ssize_t r = ::read(fd, octets + lus, n - lus);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) return false;
    lus += static_cast<std::size_t>(r);
  }
  return true;
}

bool EcrireTout(int fd, const std::uint8_t* octets, std::size_t n) {
  for (std::size_t ecrits = 0; ecrits < n;) {
    const ssize_t r = ::write(fd, octets + ecrits, n - ecrits);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) return false;
    ecrits += static_cast<std::size_t>(r);
  }
  return true;
}

bool EcrireSysfs(const std::string& fichier, const std::string& texte) {
  std::ofstream sortie(std::string(Vhci) + fichier);
  sortie << texte;
  sortie.flush();
  return static_cast<bool>(sortie);
}

}  // namespace

ReponseurUsbip::~ReponseurUsbip() { detacher(); }

bool ReponseurUsbip::attacher(int port, std::string& erreur) {
  int paire[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, paire) != 0) {
    erreur = "socketpair";
    return false;
  }
  // "<port> <fd> <devid> <speed>": the kernel takes its own reference to
  // the socket, so our copy of its end can go.
  const std::string ligne = std::to_string(port) + " " + std::to_string(paire[1]) + " " +
                            std::to_string((1 << 16) | (port + 2)) + " " + std::to_string(VitessePleine);
  const bool attache = EcrireSysfs("attach", ligne);
  ::close(paire[1]);
  if (!attache) {
    ::close(paire[0]);
    erreur = "écriture de '" + ligne + "' dans " + Vhci + "attach refusée";
    return false;
  }
  socket_ = paire[0];
  port_ = port;
  fil_ = std::thread([this] { servir(); });
  return true;
}

void ReponseurUsbip::detacher() {
  if (port_ >= 0) EcrireSysfs("detach", std::to_string(port_));
  port_ = -1;
  if (fil_.joinable()) fil_.join();
  if (socket_ >= 0) ::close(socket_);
  socket_ = -1;
}

void ReponseurUsbip::servir() {
  std::uint8_t entete[TailleEntete];
  while (LireTout(socket_, entete, sizeof entete) && traiter(entete)) {
  }
  // Whatever ended the connection, the kernel sees it closed.
  ::shutdown(socket_, SHUT_RDWR);
}

// RET_SUBMIT: `longueur` bytes transferred; an IN request's data follow.
bool ReponseurUsbip::repondre(std::uint32_t seqnum, std::int32_t statut, const std::uint8_t* donnees,
                              std::uint32_t longueur) {
  std::uint8_t reponse[TailleEntete + 64] = {};
  Ecrire32(reponse, RetSubmit);
  Ecrire32(reponse + 4, seqnum);
  Ecrire32(reponse + 20, static_cast<std::uint32_t>(statut));
  Ecrire32(reponse + 24, longueur);
  const std::uint32_t suite = donnees ? longueur : 0;
  std::copy_n(donnees, suite, reponse + TailleEntete);
  return EcrireTout(socket_, reponse, TailleEntete + suite);
}

bool ReponseurUsbip::controle(std::uint32_t seqnum, const std::uint8_t* setup) {
  const int requete = setup[1], type = setup[3], index = setup[2];
  const std::uint32_t demande = setup[6] | setup[7] << 8;
  const auto envoyer = [&](const std::uint8_t* d, std::uint32_t n) {
    return repondre(seqnum, 0, d, std::min(n, demande));
  };
  if (setup[0] == 0x80 && requete == 6 && type == 1) return envoyer(DescripteurAppareil, sizeof DescripteurAppareil);
  if (setup[0] == 0x80 && requete == 6 && type == 2)
    return envoyer(DescripteurConfiguration, sizeof DescripteurConfiguration);
  if (setup[0] == 0x80 && requete == 6 && type == 3 && index == 0) {
    static constexpr std::uint8_t Langues[4] = {4, 3, 0x09, 0x04};
    return envoyer(Langues, sizeof Langues);
  }
  if (setup[0] == 0x80 && requete == 0) {
    static constexpr std::uint8_t Etat[2] = {0, 0};
    return envoyer(Etat, sizeof Etat);
  }
  // SET_CONFIGURATION, SET_INTERFACE, CLEAR_FEATURE: accepted, nothing to do.
  const bool sansDonnees = (setup[0] & 0x80) == 0;
  if (sansDonnees && (requete == 9 || requete == 11 || requete == 1)) return repondre(seqnum, 0, nullptr, 0);
  return repondre(seqnum, -EPIPE, nullptr, 0);  // a stall, as for any request the board does not know
}

bool ReponseurUsbip::servirEntrees() {
  while (!entrees_.empty() && device_.reponsesEnAttente() > 0) {
    std::uint8_t donnees[ch341a::TaillePaquet];
    const EntreeEnAttente e = entrees_.front();
    entrees_.pop_front();
    const std::size_t n = device_.entree(donnees, std::min<std::size_t>(e.longueur, sizeof donnees));
    if (!repondre(e.seqnum, 0, donnees, static_cast<std::uint32_t>(n))) return false;
  }
  return true;
}

bool ReponseurUsbip::traiter(const std::uint8_t* entete) {
  const std::uint32_t commande = Lire32(entete), seqnum = Lire32(entete + 4);
  const std::uint32_t direction = Lire32(entete + 12), ep = Lire32(entete + 16);
  if (commande == CmdUnlink) {
    // A request still waiting is taken back; one already answered is not.
    const std::uint32_t cible = Lire32(entete + 20);
    std::lock_guard<std::mutex> garde(mutex_);
    const auto e = std::find_if(entrees_.begin(), entrees_.end(), [&](const auto& x) { return x.seqnum == cible; });
    const bool retiree = e != entrees_.end();
    if (retiree) entrees_.erase(e);
    std::uint8_t reponse[TailleEntete] = {};
    Ecrire32(reponse, RetUnlink);
    Ecrire32(reponse + 4, seqnum);
    Ecrire32(reponse + 20, static_cast<std::uint32_t>(retiree ? -ECONNRESET : 0));
    return EcrireTout(socket_, reponse, sizeof reponse);
  }
  if (commande != CmdSubmit) return false;
  const std::uint32_t longueur = Lire32(entete + 24);
  std::uint8_t donnees[4096];
  if (direction == DirectionSortie && (longueur > sizeof donnees || !LireTout(socket_, donnees, longueur))) return false;
  if (ep == 0) return controle(seqnum, entete + 40);
  std::lock_guard<std::mutex> garde(mutex_);
  if (ep != 2) return repondre(seqnum, -EPIPE, nullptr, 0);
  if (direction != DirectionSortie) {
    entrees_.push_back({seqnum, longueur});
    return servirEntrees();
  }
  if (coupureA_ >= 0 && sortiesBulk_ >= coupureA_) return false;  // the cable is pulled
  ++sortiesBulk_;
  device_.rattraper(static_cast<std::uint64_t>(
      std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - debut_).count()));
  const bool pris = device_.sortie(donnees, longueur);
  return repondre(seqnum, pris ? 0 : -EPIPE, nullptr, pris ? longueur : 0) && servirEntrees();
}

}  // namespace zorbix
