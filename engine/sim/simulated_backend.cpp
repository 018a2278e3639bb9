#include "simulated_backend.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <iterator>

#include "chip_file.h"
#include "vcd_writer.h"

namespace zorbix {

SimulatedBackend::SimulatedBackend() = default;

SimulatedBackend::~SimulatedBackend() { closeTrace(); }

SimulatedAdapter& SimulatedBackend::addAdapter(std::uint16_t base) {
  if (SimulatedAdapter* existing = adapter(base)) return *existing;
  adapters_.push_back(std::make_unique<SimulatedAdapter>(base, &count_));
  return *adapters_.back();
}

SimulatedAdapter* SimulatedBackend::adapter(std::uint16_t base) {
  for (auto& a : adapters_)
    if (a->base() == base) return a.get();
  return nullptr;
}

std::uint8_t SimulatedBackend::read(std::uint16_t address) {
  const std::uint64_t now = count_++;
  std::uint8_t value = 0xFF;
  for (auto& a : adapters_) {
    if (address == a->base()) {
      value = a->readData(now);
      break;
    }
    if (address == a->base() + 1) {
      value = a->readStatus(now);
      break;
    }
  }
  if (recording_) record_.push_back({address, value, false});
  return value;
}

void SimulatedBackend::write(std::uint16_t address, std::uint8_t value) {
  const std::uint64_t now = count_++;
  if (recording_) record_.push_back({address, value, true});
  for (auto& a : adapters_) {
    if (address == a->base()) {
      a->writeData(value, now);
      return;
    }
  }
}

bool SimulatedBackend::enableTrace(const std::string& path) {
  closeTrace();
  auto vcd = std::make_unique<VcdWriter>();
  std::vector<int> first;
  for (auto& a : adapters_) {
    std::string scope = portName(a->base());
    for (char& c : scope) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    first.push_back(vcd->addScope(scope, {"scl", "sda", "wp", "vcc"}));
  }
  if (!vcd->open(path)) return false;
  vcd_ = std::move(vcd);
  for (std::size_t i = 0; i < adapters_.size(); ++i) adapters_[i]->attachTrace(vcd_.get(), first[i]);
  return true;
}

bool SimulatedBackend::closeTrace() {
  if (!vcd_) return true;
  for (auto& a : adapters_) a->attachTrace(nullptr, 0);
  const bool ok = vcd_->close(count_);
  vcd_.reset();
  return ok;
}

std::vector<std::string> SimulatedBackend::describe() const {
  std::vector<std::string> lines;
  for (const auto& a : adapters_) {
    char address[16];
    std::snprintf(address, sizeof address, "0x%03X", a->base());
    std::string line = portName(a->base()) + " (" + address + ") : adaptateur simulé, ";
    line += a->chip() ? a->chip()->name() : "support vide";
    if (!a->backingFile().empty()) line += ", fichier " + a->backingFile();
    if (!a->note().empty()) line += " (" + a->note() + ")";
    lines.push_back(line);
  }
  return lines;
}

bool SimulatedBackend::prendre(std::uint16_t base, std::string& raison) {
  SimulatedAdapter* a = adapter(base);
  if (!a || a->backingFile().empty() || !a->chip()) return true;
  Prise& prise = prises_[base];
  if (prise.nombre > 0) return ++prise.nombre, true;
  std::string erreur;
  std::vector<std::uint8_t>& memoire = a->chip()->memory();
  if (!PrendreFichierPuce(prise.verrou, a->backingFile(), memoire, erreur)) {
    prises_.erase(base);
    raison = portName(base) + " : " + erreur;
    return false;
  }
  prise.lu = memoire;
  prise.nombre = 1;
  return true;
}

bool SimulatedBackend::rendre(std::uint16_t base, std::string& raison) {
  const auto it = prises_.find(base);
  if (it == prises_.end() || --it->second.nombre > 0) return true;
  SimulatedAdapter* a = adapter(base);
  EepromModel* chip = a->chip() ? a->chip() : a->removedChip();
  std::string erreur;
  // Nothing is written for an operation that changed nothing: a read or a
  // compare works on a chip file the user may not write.
  const bool garde =
      !chip || chip->memory() == it->second.lu || EcrireFichierPuce(a->backingFile(), chip->memory(), erreur);
  prises_.erase(it);  // unlocks
  if (!garde) raison = portName(base) + " : la mémoire simulée n'a pas été enregistrée (" + erreur + ")";
  return garde;
}

PortsSupplementaires SimulatedBackend::extraPorts() const {
  PortsSupplementaires ports;
  for (const auto& a : adapters_) {
    const bool ancien = std::find(std::begin(AdressesPorts), std::end(AdressesPorts), a->base()) !=
                        std::end(AdressesPorts);
    if (!ancien) ports.push_back({"sim" + std::to_string(ports.size()), a->base()});
  }
  return ports;
}

std::string SimulatedBackend::portName(std::uint16_t base) const {
  for (int i = 0; i < 3; ++i)
    if (base == AdressesPorts[i]) return "LPT" + std::to_string(i + 1);
  for (const PortSupplementaire& port : extraPorts())
    if (port.base == base) return port.nom;
  char text[16];
  std::snprintf(text, sizeof text, "0x%03X", base);
  return text;
}

}  // namespace zorbix
