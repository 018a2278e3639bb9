#include "engine/backends/real_adapters.h"

#include <linux/i2c.h>

#include "engine/i2c/i2c_adapter.h"
#include "engine/i2c/i2c_buses.h"
#include "engine/usb/ch341a_adapter.h"
#include "engine/usb/ch341a_usb.h"

namespace zorbix {
namespace {

std::string CapacitesDuBus(unsigned long fonctions) {
  if (fonctions & I2C_FUNC_I2C) return "I2C complet";
  if (fonctions & I2C_FUNC_SMBUS_I2C_BLOCK) return "SMBus seulement (blocs I2C)";
  return "SMBus seulement";
}

std::vector<AdaptateurTrouve> ListerCh341aBranches() {
  std::vector<AdaptateurTrouve> trouves;
  std::string erreur;
  for (const Ch341aBranche& ch341a : ListerCh341a(erreur))
    trouves.push_back({IdentitePort(GenrePort::Ch341a, ch341a.chemin, 0), LigneRapportCh341a(ch341a),
                       ch341a.accessible, CapacitesCh341a});
  return trouves;
}

// Each bus opened once to ask its capabilities, which also tells whether
// this user may open it (the `i2c` group).
std::vector<AdaptateurTrouve> ListerBus(const std::string& racineSys) {
  std::vector<AdaptateurTrouve> trouves;
  for (const BusI2cListe& bus : ListerBusI2c(racineSys)) {
    const std::string chemin = "/dev/i2c-" + std::to_string(bus.numero);
    AdaptateurTrouve t{IdentitePort(GenrePort::I2c, "i2c-" + std::to_string(bus.numero),
                                    static_cast<std::uint16_t>(bus.numero), bus.nom,
                                    bus.genre != GenreBusI2c::Ordinaire),
                       "", true, ""};
    BusI2cDev dev(chemin, AppelsSysteme());
    t.Accessible = dev.Ouvert();
    if (t.Accessible) {
      t.Capacites = CapacitesDuBus(dev.Fonctions());
      t.Ligne = TextePort(t.Port, FormePort::Rapport) + " : " + chemin + " (" + t.Capacites +
                (t.Port.Gardee ? ", écriture gardée" : "") + ")";
    } else {
      t.Ligne = NomBusI2c(bus) + " : " + RaisonOuvertureI2c(bus.numero, dev.Erreur());
    }
    trouves.push_back(std::move(t));
  }
  return trouves;
}

}  // namespace

std::vector<AdaptateurTrouve> SourceReelle::Lister(GenrePort genre) {
  if (genre == GenrePort::Ch341a) return ListerCh341aBranches();
  if (genre == GenrePort::I2c) return ListerBus(racineSys_);
  return {};
}

std::unique_ptr<Adapter> SourceReelle::Ouvrir(const IdentitePort& port, const OptionsAdaptateur& options) {
  if (port.Genre == GenrePort::Ch341a)
    return std::make_unique<AdaptateurCh341a>(port, ReglagesDepuisOptions(options), OuvreurUsb(port.Nom));
  // The bus's kind is asked of the system now, never taken from a setting.
  IdentitePort bus = port;
  GenreBusI2c genre = GenreDuBus(port.Libelle, "");
  for (const BusI2cListe& liste : ListerBusI2c(racineSys_))
    if (liste.numero == port.Adresse) {
      genre = liste.genre;
      bus.Libelle = liste.nom;
      bus.Gardee = genre != GenreBusI2c::Ordinaire;
    }
  const int numero = port.Adresse;
  const std::string racine = racineSys_;
  return std::make_unique<AdaptateurI2c>(bus, genre, options, OuvreurDevI2c(numero),
                                         [numero, racine](std::uint16_t adresse) {
                                           return PiloteSurAdresse(numero, adresse, racine);
                                         });
}

}  // namespace zorbix
