#include "simulation_config.h"

#include <cctype>
#include <vector>

#include "chip_file.h"
#include "engine/chips.h"

namespace zorbix {
namespace {

const char kPrefixe[] = "ZORBIX_SIMULATION : ";

std::string Nettoyer(const std::string& text) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && std::isspace(static_cast<unsigned char>(text[first]))) ++first;
  while (last > first && std::isspace(static_cast<unsigned char>(text[last - 1]))) --last;
  return text.substr(first, last - first);
}

std::string Majuscules(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::vector<std::string> Entrees(const std::string& value) {
  std::vector<std::string> entries;
  std::size_t from = 0;
  for (;;) {
    const std::size_t end = value.find(';', from);
    std::string entry = Nettoyer(value.substr(from, end == std::string::npos ? end : end - from));
    if (!entry.empty()) entries.push_back(entry);
    if (end == std::string::npos) return entries;
    from = end + 1;
  }
}

// An extra port's data register given as "0x" and one to four hexadecimal
// digits; 0 when the text is not that. 0xFFFF is refused: its status
// register would lie outside the I/O space.
std::uint16_t AdresseHexadecimale(const std::string& text) {
  if (text.size() < 3 || text.size() > 6 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X')) return 0;
  for (std::size_t i = 2; i < text.size(); ++i)
    if (!std::isxdigit(static_cast<unsigned char>(text[i]))) return 0;
  const unsigned long value = std::stoul(text.substr(2), nullptr, 16);
  return value < 0xFFFF ? static_cast<std::uint16_t>(value) : 0;
}

// 0 if `name` is no port: LPT1..LPT3 or an address.
std::uint16_t AdresseDuPort(const std::string& name) {
  const std::string upper = Majuscules(name);
  for (int i = 0; i < 3; ++i)
    if (upper == "LPT" + std::to_string(i + 1)) return AdressesPorts[i];
  return AdresseHexadecimale(name);
}

std::string TypesConnus() {
  std::string list;
  for (int t = 0; t < NombreTypesMemoire; ++t) list += std::string(SpecMemoire(t).NomCourt) + ", ";
  return list + "empty";
}

struct Entree {
  std::uint16_t base = 0;
  int chipType = -1;  // -1: empty socket
  std::string file;
  bool messages = false;  // a CH341A or an I2C bus: `adaptateur` describes it
  AdaptateurMessagesSimule adaptateur;
};

std::vector<std::string> Morceaux(const std::string& texte, char separateur) {
  std::vector<std::string> morceaux;
  std::size_t debut = 0;
  for (std::size_t fin; (fin = texte.find(separateur, debut)) != std::string::npos; debut = fin + 1)
    morceaux.push_back(Nettoyer(texte.substr(debut, fin - debut)));
  morceaux.push_back(Nettoyer(texte.substr(debut)));
  return morceaux;
}

// "i2c-N" then modifiers after '/': smbus, smbus-pc, driver@0xAA. False,
// with the reason, for a modifier it does not know.
bool LireBusI2c(const std::string& port, AdaptateurMessagesSimule& bus, std::string& erreur) {
  const std::vector<std::string> morceaux = Morceaux(port, '/');
  const std::string& nom = morceaux[0];
  bus.Genre = GenrePort::I2c;
  bus.Numero = -1;
  if (nom.size() > 4 && nom.size() <= 7 && nom.find_first_not_of("0123456789", 4) == std::string::npos)
    bus.Numero = std::stoi(nom.substr(4));
  if (bus.Numero < 0) {
    erreur = "bus I2C invalide « " + nom + " »";
    return false;
  }
  for (std::size_t i = 1; i < morceaux.size(); ++i) {
    const std::string modificateur = Majuscules(morceaux[i]);
    const std::size_t arobase = morceaux[i].find('@');
    if (modificateur == "SMBUS") {
      bus.SmbusSeulement = true;
    } else if (modificateur == "SMBUS-PC") {
      bus.SmbusSeulement = bus.SmbusPC = true;
    } else if (arobase != std::string::npos && arobase > 0 && AdresseHexadecimale(morceaux[i].substr(arobase + 1)) &&
               AdresseHexadecimale(morceaux[i].substr(arobase + 1)) < 0x80) {
      bus.Pilotes[AdresseHexadecimale(morceaux[i].substr(arobase + 1))] = morceaux[i].substr(0, arobase);
    } else {
      erreur = "« " + morceaux[i] + " » inconnu après « " + nom +
               "/ » (possibles : smbus, smbus-pc, pilote@0x50 pour une adresse tenue par un pilote du noyau)";
      return false;
    }
  }
  return true;
}

// Parses one "port:chip[=file]"; false with the reason in `erreur`.
bool LireEntree(const std::string& text, Entree& entry, std::string& erreur) {
  const std::string where = " dans « " + text + " »";
  const std::size_t colon = text.find(':');
  if (colon == std::string::npos) {
    erreur = "il manque « : » entre le port et la mémoire" + where + " (exemple : LPT1:24C16)";
    return false;
  }
  const std::string port = Nettoyer(text.substr(0, colon));
  std::string chip = Nettoyer(text.substr(colon + 1));
  const std::size_t equal = chip.find('=');
  if (equal != std::string::npos) {
    entry.file = Nettoyer(chip.substr(equal + 1));
    chip = Nettoyer(chip.substr(0, equal));
    if (entry.file.empty()) {
      erreur = "nom de fichier vide après « = »" + where;
      return false;
    }
  }
  const std::string debut = Majuscules(port.substr(0, 4));
  if (Majuscules(port) == "CH341A") {
    entry.messages = true;
  } else if (debut == "I2C-") {
    entry.messages = true;
    if (!LireBusI2c(port, entry.adaptateur, erreur)) {
      erreur += where;
      return false;
    }
  } else {
    entry.base = AdresseDuPort(port);
  }
  if (entry.base == 0 && !entry.messages) {
    erreur = "port inconnu « " + port + " »" + where +
             " (ports possibles : LPT1, LPT2, LPT3, une adresse comme 0xDC00, ch341a ou i2c-1)";
    return false;
  }
  if (Majuscules(chip) == "EMPTY") {
    if (!entry.file.empty()) {
      erreur = "un support vide ne peut pas avoir de fichier" + where;
      return false;
    }
    return true;
  }
  entry.chipType = TypeDepuisNom(chip.c_str());
  if (entry.chipType < 0) {
    erreur = "mémoire inconnue « " + chip + " »" + where + " (types possibles : " + TypesConnus() + ")";
    return false;
  }
  return true;
}

bool Installer(SimulatedBackend& sim, const Entree& entry, std::string& erreur) {
  SimulatedAdapter& adapter = sim.addAdapter(entry.base);
  if (entry.chipType < 0) return true;
  std::unique_ptr<EepromModel> chip = EepromModel::create(entry.chipType);
  if (!entry.file.empty()) {
    std::string note;
    if (!LireFichierPuce(entry.file, chip->memory(), note, erreur)) return false;
    adapter.setBackingFile(entry.file);
    adapter.setNote(note);
  }
  adapter.insertChip(std::move(chip));
  return true;
}

// Keeps a CH341A or I2C entry in `messages`; false with the reason when
// there is no such list or the bus is given twice.
bool Garder(Entree& entry, std::vector<AdaptateurMessagesSimule>* messages, std::string& erreur) {
  if (!messages) {
    erreur = "les adaptateurs CH341A et I2C ne sont pas simulés ici";
    return false;
  }
  AdaptateurMessagesSimule& a = entry.adaptateur;
  int ch341a = 0;
  for (const AdaptateurMessagesSimule& autre : *messages) {
    if (autre.Genre == GenrePort::Ch341a) ++ch341a;
    if (a.Genre == GenrePort::I2c && autre.Genre == GenrePort::I2c && autre.Numero == a.Numero) {
      erreur = "le bus i2c-" + std::to_string(a.Numero) + " est donné deux fois";
      return false;
    }
  }
  if (a.Genre == GenrePort::Ch341a) a.Numero = ch341a + 1;
  a.ChipType = entry.chipType;
  a.Fichier = entry.file;
  messages->push_back(a);
  return true;
}

}  // namespace

std::unique_ptr<SimulatedBackend> CreerSimulation(const std::string& value, std::string& erreur,
                                                  std::vector<AdaptateurMessagesSimule>* messages) {
  erreur.clear();
  const std::vector<std::string> texts = Entrees(value);
  if (texts.empty()) {
    erreur = std::string(kPrefixe) + "aucun port simulé (exemple : LPT1:24C16)";
    return nullptr;
  }
  auto sim = std::make_unique<SimulatedBackend>();
  std::vector<std::string> files;
  for (const std::string& text : texts) {
    Entree entry;
    std::string why;
    if (!LireEntree(text, entry, why)) {
      erreur = kPrefixe + why;
      return nullptr;
    }
    for (const std::string& f : files) {
      if (!entry.file.empty() && f == entry.file) {
        erreur = std::string(kPrefixe) + "le fichier " + f + " est donné à deux mémoires";
        return nullptr;
      }
    }
    if (!entry.file.empty()) files.push_back(entry.file);
    if (entry.messages) {
      if (!Garder(entry, messages, why)) {
        erreur = kPrefixe + why;
        return nullptr;
      }
      continue;
    }
    if (sim->adapter(entry.base)) {
      erreur = std::string(kPrefixe) + "le port " + Nettoyer(text.substr(0, text.find(':'))) +
               " est donné deux fois";
      return nullptr;
    }
    // Each port's status register is at base + 1: two bases side by side
    // would share a register.
    if (sim->adapter(static_cast<std::uint16_t>(entry.base - 1)) ||
        sim->adapter(static_cast<std::uint16_t>(entry.base + 1))) {
      erreur = std::string(kPrefixe) + "le port " + Nettoyer(text.substr(0, text.find(':'))) +
               " empiète sur les registres d'un autre port";
      return nullptr;
    }
    if (!Installer(*sim, entry, why)) {
      erreur = kPrefixe + why;
      return nullptr;
    }
  }
  return sim;
}

}  // namespace zorbix
