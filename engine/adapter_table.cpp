#include "engine/adapter_table.h"

#include "engine/parallel_adapter.h"

namespace zorbix {
namespace {

std::unique_ptr<Adapter> OuvrirParallele(const IdentitePort& port) {
  return std::make_unique<AdaptateurParallele>(port);
}

std::optional<std::string> RapporterParallele(const IdentitePort& port, const PortsDemarrage& demarrage) {
  for (const PortDemarrage& p : demarrage)
    if (p.Port.Adresse == port.Adresse && p.Absent) return p.Ligne;
  return std::nullopt;
}

}  // namespace

const std::vector<GenreAdaptateur>& GenresAdaptateurs() {
  static const std::vector<GenreAdaptateur> genres = {
      {GenrePort::Parallele, "parallèle", PortsParalleles, OuvrirParallele, RapporterParallele},
  };
  return genres;
}

const GenreAdaptateur& GenreDe(GenrePort genre) {
  for (const GenreAdaptateur& g : GenresAdaptateurs())
    if (g.Genre == genre) return g;
  return GenresAdaptateurs().front();
}

std::unique_ptr<Adapter> OuvrirAdaptateur(const IdentitePort& port) { return GenreDe(port.Genre).Ouvrir(port); }

}  // namespace zorbix
