// The command line of zorbix32-cli: a command, its options and its file.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zorbix {

enum class CommandeCli {
  Lire,
  Programmer,
  Comparer,
  Effacer,
  Vierge,
  Identifier,
  Detecter,
  Ports,
  Aide,
  Version
};

struct OptionsCli {
  CommandeCli Commande = CommandeCli::Aide;
  int ChipType = -1;                  // --puce, index in the catalogue
  std::string Port = "LPT1";          // --port, as typed; resolved later
  bool WriteMode = true;              // --mode: page (true) or octet
  bool Verification = true;           // off with --sans-verification
  std::optional<bool> FormatHexa;     // --format, when forced
  bool Silencieux = false;            // --silencieux
  std::optional<int> Debut;           // --debut: first address of the range
  std::optional<int> Longueur;        // --longueur: bytes of the range
  bool Liste = false;                 // --liste: comparer lists every difference
  bool Forcer = false;                // --forcer: programmer without identifying the chip
  int Valeur = 0xFF;                  // --valeur: the byte effacer writes
  std::optional<int> VitesseKHz;      // --vitesse: the CH341A's bus clock, 100, 400 or 750
  std::optional<int> Broches;         // --broches: the chip's address pins A2..A0, 0 to 7
  bool AutoriserBusSysteme = false;   // --autoriser-ecriture-bus-systeme
  std::string Fichier;
};

// The part of the chip a command acts on: --debut (0 by default) and
// --longueur (to the chip's end by default).
struct PlageCli {
  int Debut;
  int Longueur;
};
PlageCli PlageDemandee(const OptionsCli& options);
// Whether --debut or --longueur was given: without them the whole-chip
// transfers run, exactly as the window's.
bool PlageDonnee(const OptionsCli& options);

// Fills `options` from the words after the program's name. False, with a
// one-line French reason in `erreur`, for an unknown command or option, a
// missing or extra argument, an option the command does not take or given
// twice, an unknown chip type, byte-by-byte writing of a type written in
// pages only, a number that is not one, or a range outside the chip.
// --help and --version win over everything else.
bool AnalyserArguments(const std::vector<std::string>& mots, OptionsCli& options, std::string& erreur);

// The usage and exit codes, as --help prints them.
std::string TexteUsage();

// The format of `fichier`: Intel HEX for a ".hex" name (any case) unless
// --format says otherwise.
bool EstFormatHexa(const OptionsCli& options);

// The option that allows every operation on a PC's SMBus or a display bus.
constexpr const char* OptionBusSysteme = "--autoriser-ecriture-bus-systeme";

}  // namespace zorbix
