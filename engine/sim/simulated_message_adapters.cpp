#include "engine/sim/simulated_message_adapters.h"

#include <cerrno>
#include <cstdio>

#include "engine/chips.h"
#include "engine/i2c/i2c_adapter.h"
#include "engine/sim/ch341a_transport_sim.h"
#include "engine/sim/chip_file.h"
#include "engine/usb/ch341a_adapter.h"

namespace zorbix {
namespace {

std::string NomDuBus(const AdaptateurMessagesSimule& d) {
  if (d.SmbusPC) return "SMBus I801 simulé";  // a name that marks it as a PC's SMBus
  return d.SmbusSeulement ? "Adaptateur SMBus simulé" : "Adaptateur I2C simulé";
}

std::string Capacites(const AdaptateurMessagesSimule& d) {
  if (d.Genre == GenrePort::Ch341a) return CapacitesCh341a;
  return d.SmbusSeulement ? "SMBus seulement" : "I2C complet";
}

// The virtual chip's file for one operation: locked, read into the chip,
// written back at the end if the chip changed.
class SessionFichier {
 public:
  bool Debuter(SourceSimulee::Virtuel& v, std::string& raison) {
    v_ = &v;
    if (!v.Puce || v.Description.Fichier.empty()) return true;
    if (!PrendreFichierPuce(verrou_, v.Description.Fichier, v.Puce->memory(), raison)) return false;
    avant_ = v.Puce->memory();
    return true;
  }
  bool Terminer(std::string& raison) {
    if (!v_ || !v_->Puce || v_->Description.Fichier.empty() || v_->Puce->memory() == avant_) return true;
    return EcrireFichierPuce(v_->Description.Fichier, v_->Puce->memory(), raison);
  }

 private:
  SourceSimulee::Virtuel* v_ = nullptr;
  VerrouPuce verrou_;
  std::vector<std::uint8_t> avant_;
};

class PriseCh341aSimulee final : public PriseCh341a {
 public:
  explicit PriseCh341aSimulee(SourceSimulee::Virtuel& v) : transport_(*v.Device) {}
  TransportCh341a& Transport() override { return transport_; }
  HorlogeMs Horloge() override { return transport_.horloge(); }
  bool Rendre(std::string& raison) override { return session.Terminer(raison); }
  SessionFichier session;

 private:
  TransportSimule transport_;
};

class PriseBusSimule final : public PriseBusI2c {
 public:
  explicit PriseBusSimule(SourceSimulee::Virtuel& v)
      : simule_(*v.Bus), bus_("/dev/" + v.Port.Nom, v.Bus->Appels()) {}
  BusI2cDev& Bus() override { return bus_; }
  std::function<std::uint64_t()> Microsecondes() override {
    const BusI2cSimule* bus = &simule_;
    return [bus] { return bus->Microsecondes(); };
  }
  bool Rendre(std::string& raison) override { return session.Terminer(raison); }
  SessionFichier session;

 private:
  BusI2cSimule& simule_;
  BusI2cDev bus_;
};

template <typename Prise>
std::unique_ptr<Prise> Prendre(SourceSimulee::Virtuel& v, std::string& raison) {
  auto prise = std::make_unique<Prise>(v);
  if (!prise->session.Debuter(v, raison)) return nullptr;
  return prise;
}

}  // namespace

bool SourceSimulee::Ajouter(const AdaptateurMessagesSimule& d, std::string& erreur) {
  auto v = std::make_unique<Virtuel>();
  v->Description = d;
  if (d.ChipType >= 0) {
    v->Puce = EepromModel::create(d.ChipType);
    std::string note;
    if (!d.Fichier.empty() && !LireFichierPuce(d.Fichier, v->Puce->memory(), note, erreur)) return false;
  }
  if (d.Genre == GenrePort::Ch341a) {
    v->Port = IdentitePort(GenrePort::Ch341a, "0-" + std::to_string(d.Numero), 0);
    v->Device = std::make_unique<Ch341aDevice>(v->Puce.get());
  } else {
    ParametresBusSimule parametres;
    parametres.nom = NomDuBus(d);
    parametres.smbusSeulement = d.SmbusSeulement;
    for (const auto& pilote : d.Pilotes) parametres.adressesTenues.insert(pilote.first);
    const GenreBusI2c genre = GenreDuBus(parametres.nom, "");
    v->Port = IdentitePort(GenrePort::I2c, "i2c-" + std::to_string(d.Numero), static_cast<std::uint16_t>(d.Numero),
                           parametres.nom, genre != GenreBusI2c::Ordinaire);
    v->Bus = std::make_unique<BusI2cSimule>("/dev/" + v->Port.Nom, parametres, v->Puce.get());
  }
  virtuels_.push_back(std::move(v));
  return true;
}

std::vector<std::string> SourceSimulee::Decrire() const {
  std::vector<std::string> lignes;
  for (const auto& v : virtuels_) {
    const AdaptateurMessagesSimule& d = v->Description;
    std::string ligne = TextePort(v->Port, FormePort::Rapport);
    if (d.Genre == GenrePort::Ch341a)
      ligne += " : programmateur CH341A simulé, ";
    else
      ligne += " : bus simulé, " + Capacites(d) + (v->Port.Gardee ? ", écriture gardée, " : ", ");
    ligne += v->Puce ? SpecMemoire(d.ChipType).NomCourt : "support vide";
    if (!d.Fichier.empty()) ligne += ", fichier " + d.Fichier;
    for (const auto& pilote : d.Pilotes) {
      char adresse[8];
      std::snprintf(adresse, sizeof adresse, "0x%02X", pilote.first);
      ligne += ", " + pilote.second + " sur " + adresse;
    }
    lignes.push_back(ligne);
  }
  return lignes;
}

std::vector<AdaptateurTrouve> SourceSimulee::Lister(GenrePort genre) {
  std::vector<AdaptateurTrouve> trouves;
  for (const auto& v : virtuels_)
    if (v->Description.Genre == genre)
      trouves.push_back({v->Port, TextePort(v->Port, FormePort::Rapport) + " : simulé", true, Capacites(v->Description)});
  return trouves;
}

std::unique_ptr<Adapter> SourceSimulee::Ouvrir(const IdentitePort& port, const OptionsAdaptateur& options) {
  Virtuel* trouve = nullptr;
  for (const auto& v : virtuels_)
    if (v->Port == port) trouve = v.get();
  if (port.Genre == GenrePort::Ch341a) {
    const std::string nom = TextePort(port, FormePort::Nom);
    return std::make_unique<AdaptateurCh341a>(
        port, ReglagesDepuisOptions(options), [trouve, nom](std::string& raison) -> std::unique_ptr<PriseCh341a> {
          if (trouve) return Prendre<PriseCh341aSimulee>(*trouve, raison);
          raison = nom + " : débranché";
          return nullptr;
        });
  }
  const GenreBusI2c genre = trouve ? GenreDuBus(trouve->Port.Libelle, "") : GenreBusI2c::Ordinaire;
  const int numero = port.Adresse;
  return std::make_unique<AdaptateurI2c>(
      trouve ? trouve->Port : port, genre, options,
      [trouve, numero](std::string& raison) -> std::unique_ptr<PriseBusI2c> {
        if (trouve) return Prendre<PriseBusSimule>(*trouve, raison);
        raison = RaisonOuvertureI2c(numero, ENOENT);
        return nullptr;
      },
      [trouve](std::uint16_t adresse) {
        if (!trouve) return std::string();
        const auto pilote = trouve->Description.Pilotes.find(adresse);
        return pilote == trouve->Description.Pilotes.end() ? std::string() : pilote->second;
      });
}

}  // namespace zorbix
