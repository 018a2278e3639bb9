#include "engine/adapter_table.h"

#include "engine/parallel_adapter.h"

namespace zorbix {
namespace {

SourceAdaptateurs* source = nullptr;

std::unique_ptr<Adapter> OuvrirParallele(const IdentitePort& port, const OptionsAdaptateur&) {
  return std::make_unique<AdaptateurParallele>(port);
}

std::optional<std::string> RapporterParallele(const IdentitePort& port, const PortsDemarrage& demarrage) {
  for (const PortDemarrage& p : demarrage)
    if (p.Port.Adresse == port.Adresse && p.Absent) return p.Ligne;
  return std::nullopt;
}

// An adapter that no source serves in this run: every operation is refused
// before anything is touched.
class AdaptateurAbsent final : public Adapter {
 public:
  explicit AdaptateurAbsent(IdentitePort port) : port_(std::move(port)) {}
  const IdentitePort& Identite() const override { return port_; }
  bool VoitChaqueAcquittement() const override { return false; }
  BilanProgrammation ProgrammerUnOctet(const Puce&, const std::uint8_t*, int) override {
    return Refus<BilanProgrammation>();
  }
  BilanComparaison Comparer(const Puce&, const std::uint8_t*, std::uint8_t*, const Progression&) override {
    return Refus<BilanComparaison>();
  }
  BilanLecture LirePlage(const Puce&, const Plage&, std::uint8_t*, const Progression&) override {
    return Refus<BilanLecture>();
  }
  BilanProgrammation ProgrammerPlage(const Puce&, const Plage&, const std::uint8_t*, bool,
                                     const Progression&) override {
    return Refus<BilanProgrammation>();
  }
  BilanSonde SonderAcquittement(std::uint8_t) override { return Refus<BilanSonde>(); }
  Bilan Sonder(const std::function<void(Sondeur&)>&) override { return Refus<Bilan>(); }

 private:
  template <typename BilanT>
  BilanT Refus() const {
    BilanT bilan;
    bilan.Fin = Deroulement::Occupe;
    bilan.Raison = TextePort(port_, FormePort::Rapport) + " : absent";
    return bilan;
  }
  IdentitePort port_;
};

std::vector<IdentitePort> ListerDuGenre(GenrePort genre) {
  std::vector<IdentitePort> ports;
  if (source)
    for (AdaptateurTrouve& trouve : source->Lister(genre)) ports.push_back(std::move(trouve.Port));
  return ports;
}

std::vector<IdentitePort> ListerCh341a(const PortsSupplementaires&) { return ListerDuGenre(GenrePort::Ch341a); }
std::vector<IdentitePort> ListerI2c(const PortsSupplementaires&) { return ListerDuGenre(GenrePort::I2c); }

std::unique_ptr<Adapter> OuvrirParLaSource(const IdentitePort& port, const OptionsAdaptateur& options) {
  if (!source) return std::make_unique<AdaptateurAbsent>(port);
  return source->Ouvrir(port, options);
}

// The line of a CH341A or a bus that is there but not accessible.
std::optional<std::string> RapporterParLaSource(const IdentitePort& port, const PortsDemarrage&) {
  if (!source) return TextePort(port, FormePort::Rapport) + " : absent";
  for (const AdaptateurTrouve& trouve : source->Lister(port.Genre))
    if (trouve.Port == port) return trouve.Accessible ? std::nullopt : std::optional<std::string>(trouve.Ligne);
  return TextePort(port, FormePort::Rapport) + " : absent";
}

// One row per kind of adapter.
const std::vector<GenreAdaptateur>& GenresAdaptateurs() {
  static const std::vector<GenreAdaptateur> genres = {
      {GenrePort::Parallele, PortsParalleles, OuvrirParallele, RapporterParallele},
      {GenrePort::Ch341a, ListerCh341a, OuvrirParLaSource, RapporterParLaSource},
      {GenrePort::I2c, ListerI2c, OuvrirParLaSource, RapporterParLaSource},
  };
  return genres;
}

}  // namespace

void InstallerSourceAdaptateurs(SourceAdaptateurs* nouvelle) { source = nouvelle; }
SourceAdaptateurs* SourceAdaptateursInstallee() { return source; }

const GenreAdaptateur& GenreDe(GenrePort genre) {
  for (const GenreAdaptateur& g : GenresAdaptateurs())
    if (g.Genre == genre) return g;
  return GenresAdaptateurs().front();
}

std::unique_ptr<Adapter> OuvrirAdaptateur(const IdentitePort& port, const OptionsAdaptateur& options) {
  return GenreDe(port.Genre).Ouvrir(port, options);
}

BilanDetection DetecterAdaptateur(const PortsSupplementaires& supplementaires) {
  BilanDetection bilan = DetecterAdaptateurParallele(supplementaires);
  if (bilan.Trouve || !source) return bilan;
  for (const AdaptateurTrouve& trouve : source->Lister(GenrePort::Ch341a))
    if (trouve.Accessible) {
      bilan.Trouve = trouve.Port;
      bilan.Fin = Deroulement::Termine;  // a busy parallel port is then only a remark
      break;
    }
  return bilan;
}

std::vector<IdentitePort> AutresAdaptateurs() {
  std::vector<IdentitePort> ports = ListerDuGenre(GenrePort::Ch341a);
  for (IdentitePort& bus : ListerDuGenre(GenrePort::I2c)) ports.push_back(std::move(bus));
  return ports;
}

}  // namespace zorbix
