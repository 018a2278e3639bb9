// The command line of zorbix32-cli: a command, its options and its file.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zorbix {

enum class CommandeCli { Lire, Programmer, Comparer, Detecter, Ports, Aide, Version };

struct OptionsCli {
  CommandeCli Commande = CommandeCli::Aide;
  int ChipType = -1;                  // --puce, index in the catalogue
  std::string Port = "LPT1";          // --port, as typed; resolved later
  bool WriteMode = true;              // --mode: page (true) or octet
  bool Verification = true;           // off with --sans-verification
  std::optional<bool> FormatHexa;     // --format, when forced
  bool Silencieux = false;            // --silencieux
  std::string Fichier;
};

// Fills `options` from the words after the program's name. False, with a
// one-line French reason in `erreur`, for an unknown command or option, a
// missing or extra argument, an option the command does not take, or an
// unknown chip type. --help and --version win over everything else.
bool AnalyserArguments(const std::vector<std::string>& mots, OptionsCli& options, std::string& erreur);

// The usage and exit codes, as --help prints them.
std::string TexteUsage();

// The format of `fichier`: Intel HEX for a ".hex" name (any case) unless
// --format says otherwise.
bool EstFormatHexa(const OptionsCli& options);

}  // namespace zorbix
