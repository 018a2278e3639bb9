#include "usbip_server.h"

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>

namespace zorbix {
namespace {

constexpr std::uint32_t CmdSubmit = 1, CmdUnlink = 2, RetSubmit = 3, RetUnlink = 4;
constexpr std::uint32_t DirectionSortie = 0;
constexpr std::size_t TailleEntete = 48;
// Larger than any transfer of the emulated devices: a control request's
// data stage, a bulk packet.
constexpr std::uint32_t TailleMaxTransfert = 4096;
const char* const Vhci = "/sys/devices/platform/vhci_hcd.0/";

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

ServeurUsbip::~ServeurUsbip() { detacher(); }

bool ServeurUsbip::attacher(int port, std::string& erreur) {
  int paire[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, paire) != 0) {
    erreur = "socketpair";
    return false;
  }
  // "<port> <fd> <devid> <speed>": the kernel takes its own reference to
  // the socket, so our copy of its end can go.
  const std::string ligne = std::to_string(port) + " " + std::to_string(paire[1]) + " " +
                            std::to_string((1 << 16) | (port + 2)) + " " +
                            std::to_string(static_cast<int>(appareil_.vitesse()));
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

void ServeurUsbip::detacher() {
  if (port_ >= 0) EcrireSysfs("detach", std::to_string(port_));
  port_ = -1;
  if (fil_.joinable()) fil_.join();
  if (socket_ >= 0) ::close(socket_);
  socket_ = -1;
}

void ServeurUsbip::servir() {
  std::uint8_t entete[TailleEntete];
  while (LireTout(socket_, entete, sizeof entete) && traiter(entete)) {
  }
  // Whatever ended the connection, the kernel sees it closed.
  ::shutdown(socket_, SHUT_RDWR);
}

// RET_SUBMIT: `longueur` bytes transferred; an IN request's data follow.
bool ServeurUsbip::repondre(std::uint32_t seqnum, std::int32_t statut, const std::uint8_t* donnees,
                            std::uint32_t longueur) {
  std::vector<std::uint8_t> reponse(TailleEntete + (donnees ? longueur : 0), 0);
  Ecrire32(reponse.data(), RetSubmit);
  Ecrire32(reponse.data() + 4, seqnum);
  Ecrire32(reponse.data() + 20, static_cast<std::uint32_t>(statut));
  Ecrire32(reponse.data() + 24, longueur);
  if (donnees) std::copy_n(donnees, longueur, reponse.data() + TailleEntete);
  return EcrireTout(socket_, reponse.data(), reponse.size());
}

bool ServeurUsbip::controle(std::uint32_t seqnum, const std::uint8_t* setup, const std::uint8_t* donnees) {
  ++controles_;
  const int requete = setup[1], type = setup[3], index = setup[2];
  const std::uint32_t demande = setup[6] | setup[7] << 8;
  const auto envoyer = [&](const std::vector<std::uint8_t>& d) {
    return repondre(seqnum, 0, d.data(), std::min(static_cast<std::uint32_t>(d.size()), demande));
  };
  if (setup[0] == 0x80 && requete == 6 && type == 1) return envoyer(appareil_.descripteurAppareil());
  if (setup[0] == 0x80 && requete == 6 && type == 2) return envoyer(appareil_.descripteurConfiguration());
  if (setup[0] == 0x80 && requete == 6 && type == 3 && index == 0) return envoyer({4, 3, 0x09, 0x04});
  if (setup[0] == 0x80 && requete == 0) return envoyer({0, 0});
  // SET_CONFIGURATION, SET_INTERFACE, CLEAR_FEATURE: accepted, nothing to do.
  const bool standard = (setup[0] & 0x60) == 0, sortante = (setup[0] & 0x80) == 0;
  if (standard && sortante && (requete == 9 || requete == 11 || requete == 1)) return repondre(seqnum, 0, nullptr, 0);
  if (standard) return repondre(seqnum, -EPIPE, nullptr, 0);  // a stall, as for any request the device does not know
  std::vector<std::uint8_t> reponse;
  const int statut = appareil_.controle(setup, donnees, reponse);
  if (statut != 0) return repondre(seqnum, statut, nullptr, 0);
  if (sortante) return repondre(seqnum, 0, nullptr, demande);
  return envoyer(reponse);
}

bool ServeurUsbip::servirEntrees() {
  while (!entrees_.empty()) {
    std::uint8_t donnees[TailleMaxTransfert];
    const EntreeEnAttente e = entrees_.front();
    const std::size_t n = appareil_.entree(e.ep, donnees, std::min<std::size_t>(e.longueur, sizeof donnees));
    if (n == 0) return true;  // held until the device has bytes for it
    entrees_.pop_front();
    if (!repondre(e.seqnum, 0, donnees, static_cast<std::uint32_t>(n))) return false;
  }
  return true;
}

// CMD_UNLINK: a request still waiting is taken back; one already answered is not.
bool ServeurUsbip::desannuler(std::uint32_t seqnum, std::uint32_t cible) {
  const auto e = std::find_if(entrees_.begin(), entrees_.end(), [&](const auto& x) { return x.seqnum == cible; });
  const bool retiree = e != entrees_.end();
  if (retiree) entrees_.erase(e);
  std::uint8_t reponse[TailleEntete] = {};
  Ecrire32(reponse, RetUnlink);
  Ecrire32(reponse + 4, seqnum);
  Ecrire32(reponse + 20, static_cast<std::uint32_t>(retiree ? -ECONNRESET : 0));
  return EcrireTout(socket_, reponse, sizeof reponse);
}

bool ServeurUsbip::bulk(std::uint32_t seqnum, std::uint32_t ep, bool sortante, const std::uint8_t* donnees,
                        std::uint32_t longueur) {
  if (!sortante) {
    if (!appareil_.entreeBulk(ep)) return repondre(seqnum, -EPIPE, nullptr, 0);
    entrees_.push_back({seqnum, ep, longueur});
    return servirEntrees();
  }
  if (coupureA_ >= 0 && sortiesBulk_ >= coupureA_) return false;  // the cable is pulled
  ++sortiesBulk_;
  const bool pris = appareil_.sortie(ep, donnees, longueur);
  return repondre(seqnum, pris ? 0 : -EPIPE, nullptr, pris ? longueur : 0) && servirEntrees();
}

bool ServeurUsbip::traiter(const std::uint8_t* entete) {
  const std::uint32_t commande = Lire32(entete), seqnum = Lire32(entete + 4);
  const std::uint32_t direction = Lire32(entete + 12), ep = Lire32(entete + 16);
  if (commande == CmdUnlink) {
    std::lock_guard<std::mutex> garde(mutex_);
    return desannuler(seqnum, Lire32(entete + 20));
  }
  if (commande != CmdSubmit) return false;
  const std::uint32_t longueur = Lire32(entete + 24);
  const bool sortante = direction == DirectionSortie;
  std::uint8_t donnees[TailleMaxTransfert];
  if (sortante && (longueur > sizeof donnees || !LireTout(socket_, donnees, longueur))) return false;
  std::lock_guard<std::mutex> garde(mutex_);
  appareil_.rattraper(static_cast<std::uint64_t>(
      std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - debut_).count()));
  if (ep == 0) return controle(seqnum, entete + 40, donnees);
  return bulk(seqnum, ep, sortante, donnees, longueur);
}

}  // namespace zorbix
