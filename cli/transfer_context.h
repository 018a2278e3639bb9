// What a command that reaches the chip runs with, for commands.cpp and the
// range and identification commands alike: the adapter, the chip and the
// outputs; the progress line of each operation, where a stop request is
// acted on; and the exit code of an operation that did not run to its end.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "cli/commands.h"
#include "cli/progress_line.h"
#include "engine/adapter.h"
#include "engine/use_cases.h"

namespace zorbix {

struct Transfert {
  std::unique_ptr<Adapter> Adaptateur;
  Puce Memoire;
  const SortiesCli& Sorties;
};

// The progress line of the running operation on standard error, over
// `total` bytes, replaced by the verification's own when a programming is
// verified. A programming's progress is where a stop request is acted on:
// before the next page (or byte) is written, never once the programming is
// over.
class Affichage {
 public:
  Affichage(const Transfert& t, const char* operation, int total);
  void Fermer() { ligne_.reset(); }

  Suivi PourLecture();
  Suivi PourProgrammation();

 private:
  void Ouvrir(const char* operation);

  const Transfert& t_;
  int total_;
  std::optional<LigneProgression> ligne_;
  bool programmation_ = true;
};

// The exit code of an operation over `total` bytes that did not run to its
// end, after its message; SortieSucces when it did.
int CodeDeroulement(const Issue& issue, const Transfert& t, int total);

// How many differing addresses a compare or a failed verification shows.
constexpr int AdressesMontrees = 16;

// "$0010 : puce $12, fichier $34" for the first AdressesMontrees differing
// bytes of `longueur` bytes from address `debut`.
void EcrireDifferences(std::ostream& sortie, int debut, const std::uint8_t* puce, const std::uint8_t* fichier,
                       int longueur);

}  // namespace zorbix
