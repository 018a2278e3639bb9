#include "cli/options.h"

#include <algorithm>
#include <cctype>

#include "engine/chips.h"

namespace zorbix {
namespace {

struct NomCommande {
  const char* Nom;
  CommandeCli Commande;
};
constexpr NomCommande Commandes[] = {{"lire", CommandeCli::Lire},
                                     {"programmer", CommandeCli::Programmer},
                                     {"comparer", CommandeCli::Comparer},
                                     {"detecter", CommandeCli::Detecter},
                                     {"ports", CommandeCli::Ports}};

bool AvecFichier(CommandeCli c) {
  return c == CommandeCli::Lire || c == CommandeCli::Programmer || c == CommandeCli::Comparer;
}

// Which command takes which option: a misplaced option is refused rather
// than silently ignored, so a script never believes it asked for something.
bool OptionAdmise(const std::string& option, CommandeCli c) {
  if (option == "--silencieux") return true;
  if (option == "--puce" || option == "--port" || option == "--format") return AvecFichier(c);
  if (option == "--mode" || option == "--sans-verification") return c == CommandeCli::Programmer;
  return false;
}

bool OptionAvecValeur(const std::string& option) {
  return option == "--puce" || option == "--port" || option == "--mode" || option == "--format";
}

std::string EnMinuscules(std::string texte) {
  std::transform(texte.begin(), texte.end(), texte.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return texte;
}

bool AppliquerValeur(const std::string& option, const std::string& valeur, OptionsCli& options,
                     std::string& erreur) {
  if (option == "--puce") {
    options.ChipType = TypeDepuisNom(valeur.c_str());
    if (options.ChipType < 0) erreur = "type de mémoire inconnu : « " + valeur + " »";
  } else if (option == "--port") {
    options.Port = valeur;
  } else if (option == "--mode") {
    if (valeur == "page" || valeur == "octet")
      options.WriteMode = valeur == "page";
    else
      erreur = "mode d'écriture inconnu : « " + valeur + " » (page ou octet)";
  } else if (option == "--format") {
    if (valeur == "hex" || valeur == "bin")
      options.FormatHexa = valeur == "hex";
    else
      erreur = "format inconnu : « " + valeur + " » (hex ou bin)";
  }
  return erreur.empty();
}

}  // namespace

bool AnalyserArguments(const std::vector<std::string>& mots, OptionsCli& options, std::string& erreur) {
  options = OptionsCli{};
  for (const std::string& mot : mots) {
    if (mot == "--help" || mot == "-h") return options.Commande = CommandeCli::Aide, true;
    if (mot == "--version") return options.Commande = CommandeCli::Version, true;
  }
  if (mots.empty()) return erreur = "commande manquante", false;
  const auto commande = std::find_if(std::begin(Commandes), std::end(Commandes),
                                     [&](const NomCommande& c) { return mots[0] == c.Nom; });
  if (commande == std::end(Commandes)) return erreur = "commande inconnue : « " + mots[0] + " »", false;
  options.Commande = commande->Commande;

  bool fichierDonne = false;
  for (std::size_t i = 1; i < mots.size(); ++i) {
    const std::string& mot = mots[i];
    if (mot.size() < 2 || mot.compare(0, 2, "--") != 0) {
      if (!AvecFichier(options.Commande) || fichierDonne)
        return erreur = "argument en trop : « " + mot + " »", false;
      options.Fichier = mot;
      fichierDonne = true;
      continue;
    }
    const std::size_t egal = mot.find('=');
    const std::string option = mot.substr(0, egal);
    if (!OptionAdmise(option, options.Commande))
      return erreur = "option inconnue ou sans effet avec « " + mots[0] + " » : « " + option + " »", false;
    if (option == "--silencieux" || option == "--sans-verification") {
      if (egal != std::string::npos) return erreur = "l'option " + option + " ne prend pas de valeur", false;
      if (option == "--silencieux")
        options.Silencieux = true;
      else
        options.Verification = false;
      continue;
    }
    std::string valeur;
    if (egal != std::string::npos)
      valeur = mot.substr(egal + 1);
    else if (i + 1 < mots.size())
      valeur = mots[++i];
    else
      return erreur = "valeur manquante après " + option, false;
    if (!OptionAvecValeur(option) || !AppliquerValeur(option, valeur, options, erreur)) return false;
  }
  if (AvecFichier(options.Commande)) {
    if (options.ChipType < 0) return erreur = "type de mémoire manquant (--puce)", false;
    if (!fichierDonne) return erreur = "nom de fichier manquant", false;
  }
  return true;
}

bool EstFormatHexa(const OptionsCli& options) {
  if (options.FormatHexa) return *options.FormatHexa;
  const std::string nom = EnMinuscules(options.Fichier);
  return nom.size() >= 4 && nom.compare(nom.size() - 4, 4, ".hex") == 0;
}

std::string TexteUsage() {
  return "Usage :\n"
         "  zorbix32-cli lire       --puce TYPE [--port PORT] fichier\n"
         "  zorbix32-cli programmer --puce TYPE [--port PORT] [--mode page|octet] [--sans-verification] fichier\n"
         "  zorbix32-cli comparer   --puce TYPE [--port PORT] fichier\n"
         "  zorbix32-cli detecter\n"
         "  zorbix32-cli ports\n"
         "  zorbix32-cli --help | --version\n"
         "\n"
         "Options :\n"
         "  --puce TYPE          PCF8582, 24C00, 24C01, 24C02, 24C04, 24C08, 24C16, 24C32,\n"
         "                       24C64, 24C128, 24C256 ou 24C512 (majuscules ou minuscules)\n"
         "  --port PORT          LPT1 (par défaut), LPT2, LPT3, un autre port sous le nom\n"
         "                       que lui donne « zorbix32-cli ports » (parport0, sim0)\n"
         "                       ou une adresse (0x378, 0xDC00)\n"
         "  --mode page|octet    écriture par pages (par défaut) ou octet par octet\n"
         "  --sans-verification  ne relit pas la mémoire après la programmation\n"
         "  --format hex|bin     Intel HEX ou binaire brut (sinon : .hex = Intel HEX)\n"
         "  --silencieux         ni progression ni rapport des ports\n"
         "\n"
         "Codes de sortie :\n"
         "  0  succès\n"
         "  1  échec de la mémoire ou du transfert (vérification comprise)\n"
         "  2  erreur d'utilisation ou de fichier\n"
         "  3  la comparaison a trouvé des différences\n"
         "  4  le port ou la mémoire simulée est occupé par un autre programme : rien n'a été fait\n"
         "  5  interrompu par un signal (SIGINT, SIGTERM, SIGHUP) entre deux pages ou deux octets\n"
         "\n"
         "detecter cherche l'adaptateur sur LPT1, LPT2, LPT3 puis sur les autres ports.\n"
         "ZORBIX_SIMULATION et ZORBIX_SIM_TRACE agissent comme pour zorbix32.\n";
}

}  // namespace zorbix
