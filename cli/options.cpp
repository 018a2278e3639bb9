#include "cli/options.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "cli/cli_texts.h"
#include "cli/image_file.h"
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
                                     {"effacer", CommandeCli::Effacer},
                                     {"vierge", CommandeCli::Vierge},
                                     {"identifier", CommandeCli::Identifier},
                                     {"detecter", CommandeCli::Detecter},
                                     {"ports", CommandeCli::Ports}};

bool AvecFichier(CommandeCli c) {
  return c == CommandeCli::Lire || c == CommandeCli::Programmer || c == CommandeCli::Comparer;
}

bool AvecPuce(CommandeCli c) { return AvecFichier(c) || c == CommandeCli::Effacer || c == CommandeCli::Vierge; }

bool Ecrit(CommandeCli c) { return c == CommandeCli::Programmer || c == CommandeCli::Effacer; }

// Which command takes which option: a misplaced option is refused rather
// than silently ignored, so a script never believes it asked for something.
bool OptionAdmise(const std::string& option, CommandeCli c) {
  if (option == "--silencieux") return true;
  if (option == "--port" || option == "--vitesse" || option == "--broches" || option == OptionBusSysteme)
    return AvecPuce(c) || c == CommandeCli::Identifier;
  if (option == "--puce" || option == "--debut" || option == "--longueur") return AvecPuce(c);
  if (option == "--format") return AvecFichier(c);
  if (option == "--mode" || option == "--sans-verification" || option == "--forcer") return Ecrit(c);
  if (option == "--liste") return c == CommandeCli::Comparer;
  if (option == "--valeur") return c == CommandeCli::Effacer;
  return false;
}

bool OptionSansValeur(const std::string& option) {
  return option == "--silencieux" || option == "--sans-verification" || option == "--liste" || option == "--forcer" ||
         option == OptionBusSysteme;
}

std::string EnMinuscules(std::string texte) {
  std::transform(texte.begin(), texte.end(), texte.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return texte;
}

// A decimal number or "0x" and hexadecimal digits, from 0 to `maximum`.
bool LireNombre(const std::string& texte, int maximum, int& nombre) {
  const bool hexa = texte.size() > 2 && texte[0] == '0' && (texte[1] == 'x' || texte[1] == 'X');
  const std::string chiffres = hexa ? texte.substr(2) : texte;
  if (chiffres.empty() || chiffres.size() > 8) return false;
  long valeur = 0;
  for (const char c : chiffres) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (!(hexa ? std::isxdigit(u) : std::isdigit(u))) return false;
    valeur = valeur * (hexa ? 16 : 10) + (std::isdigit(u) ? u - '0' : std::tolower(u) - 'a' + 10);
  }
  if (valeur > maximum) return false;
  nombre = static_cast<int>(valeur);
  return true;
}

bool AppliquerNombre(const std::string& option, const std::string& valeur, OptionsCli& options,
                     std::string& erreur) {
  const int maximum = option == "--valeur" ? 0xFF : 0x10000;
  int nombre = 0;
  if (!LireNombre(valeur, maximum, nombre)) {
    erreur = "nombre invalide pour " + option + " : « " + valeur + " » (" +
             (option == "--valeur" ? "0 à 255 ou 0x00 à 0xFF" : "décimal ou 0x hexadécimal") + ")";
    return false;
  }
  if (option == "--debut")
    options.Debut = nombre;
  else if (option == "--longueur")
    options.Longueur = nombre;
  else
    options.Valeur = nombre;
  return true;
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
  } else if (option == "--vitesse") {
    if (valeur == "100" || valeur == "400" || valeur == "750")
      options.VitesseKHz = std::stoi(valeur);
    else
      erreur = "vitesse inconnue : « " + valeur + " » (100, 400 ou 750 kHz)";
  } else if (option == "--broches") {
    if (valeur.size() == 1 && valeur[0] >= '0' && valeur[0] <= '7')
      options.Broches = valeur[0] - '0';
    else
      erreur = "broches d'adresse invalides : « " + valeur + " » (0 à 7 : A2 A1 A0 en binaire)";
  } else if (option == "--format") {
    if (valeur == "hex" || valeur == "bin")
      options.FormatHexa = valeur == "hex";
    else
      erreur = "format inconnu : « " + valeur + " » (hex ou bin)";
  } else {
    return AppliquerNombre(option, valeur, options, erreur);
  }
  return erreur.empty();
}

void AppliquerDrapeau(const std::string& option, OptionsCli& options) {
  if (option == "--silencieux") options.Silencieux = true;
  if (option == "--sans-verification") options.Verification = false;
  if (option == "--liste") options.Liste = true;
  if (option == "--forcer") options.Forcer = true;
  if (option == OptionBusSysteme) options.AutoriserBusSysteme = true;
}

// What only the chip type decides: byte-by-byte writing offered, the range
// inside the chip.
bool VerifierPuce(const OptionsCli& options, std::string& erreur) {
  if (options.ChipType < 0) return true;
  const ChipSpec& fiche = SpecMemoire(options.ChipType);
  if (!options.WriteMode && !OctetParOctetPropose(options.ChipType))
    return erreur = std::string("le mode octet n'est pas proposé pour la ") + fiche.NomCourt +
                    " : elle s'écrit toujours par pages",
           false;
  const PlageCli plage = PlageDemandee(options);
  const std::string memoire = std::string(fiche.NomCourt) + " (" + std::to_string(fiche.Taille) + " octets, $0000 à " +
                              Hexa4(fiche.Taille - 1) + ")";
  if (options.Longueur && *options.Longueur == 0) return erreur = "la longueur de la plage est nulle", false;
  if (plage.Debut >= fiche.Taille)
    return erreur = "l'adresse de début " + Hexa4(plage.Debut) + " sort de la " + memoire, false;
  if (plage.Debut + plage.Longueur > fiche.Taille)
    return erreur = "la plage " + Hexa4(plage.Debut) + " à " + Hexa4(plage.Debut + plage.Longueur - 1) +
                    " sort de la " + memoire,
           false;
  return true;
}

}  // namespace

PlageCli PlageDemandee(const OptionsCli& options) {
  const int taille = options.ChipType >= 0 ? SpecMemoire(options.ChipType).Taille : 0;
  const int debut = options.Debut.value_or(0);
  return {debut, options.Longueur.value_or(taille - debut)};
}

bool PlageDonnee(const OptionsCli& options) { return options.Debut || options.Longueur; }

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
  std::set<std::string> donnees;  // options seen so far
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
    if (!donnees.insert(option).second) return erreur = "l'option " + option + " est donnée deux fois", false;
    if (OptionSansValeur(option)) {
      if (egal != std::string::npos) return erreur = "l'option " + option + " ne prend pas de valeur", false;
      AppliquerDrapeau(option, options);
      continue;
    }
    std::string valeur;
    if (egal != std::string::npos)
      valeur = mot.substr(egal + 1);
    else if (i + 1 < mots.size())
      valeur = mots[++i];
    else
      return erreur = "valeur manquante après " + option, false;
    if (!AppliquerValeur(option, valeur, options, erreur)) return false;
  }
  if (AvecPuce(options.Commande) && options.ChipType < 0) return erreur = "type de mémoire manquant (--puce)", false;
  if (AvecFichier(options.Commande) && !fichierDonne) return erreur = "nom de fichier manquant", false;
  // Standard input has no name to tell its format by.
  if (AvecFichier(options.Commande) && options.Fichier == NomFluxStandard && options.Commande != CommandeCli::Lire &&
      !options.FormatHexa)
    return erreur = "--format hex ou --format bin est obligatoire pour l'entrée standard (-)", false;
  return VerifierPuce(options, erreur);
}

bool EstFormatHexa(const OptionsCli& options) {
  if (options.FormatHexa) return *options.FormatHexa;
  const std::string nom = EnMinuscules(options.Fichier);
  return nom.size() >= 4 && nom.compare(nom.size() - 4, 4, ".hex") == 0;
}

std::string TexteUsage() {
  return "Usage :\n"
         "  zorbix32-cli lire       --puce TYPE [--port PORT] [PLAGE] fichier|-\n"
         "  zorbix32-cli programmer --puce TYPE [--port PORT] [PLAGE] [--mode page|octet]\n"
         "                          [--sans-verification] [--forcer] fichier|-\n"
         "  zorbix32-cli comparer   --puce TYPE [--port PORT] [PLAGE] [--liste] fichier|-\n"
         "  zorbix32-cli effacer    --puce TYPE [--port PORT] [PLAGE] [--valeur OCTET] [--mode page|octet]\n"
         "                          [--sans-verification] [--forcer]\n"
         "  zorbix32-cli vierge     --puce TYPE [--port PORT] [PLAGE]\n"
         "  zorbix32-cli identifier [--port PORT]\n"
         "  zorbix32-cli detecter\n"
         "  zorbix32-cli ports\n"
         "  zorbix32-cli --help | --version\n"
         "\n"
         "Options :\n"
         "  --puce TYPE          PCF8582, 24C00, 24C01, 24C02, 24C04, 24C08, 24C16, 24C32,\n"
         "                       24C64, 24C128, 24C256 ou 24C512 (majuscules ou minuscules)\n"
         "  --port PORT          LPT1 (par défaut), LPT2, LPT3, un autre port sous le nom\n"
         "                       que lui donne « zorbix32-cli ports » (parport0, sim0)\n"
         "                       ou une adresse (0x378, 0xDC00) ; ch341a (le premier\n"
         "                       programmateur CH341A branché) ou \"USB 1-2\" (celui de ce\n"
         "                       chemin USB) ; i2c-1 (un bus I2C du noyau, /dev/i2c-1)\n"
         "  --vitesse 100|400|750  horloge du bus du CH341A en kHz (par défaut 100)\n"
         "  --broches 0..7       niveaux des broches A2 A1 A0 de la mémoire sur le support\n"
         "                       d'un CH341A ou d'un bus I2C (par défaut 0 : à la masse)\n"
         "  --autoriser-ecriture-bus-systeme\n"
         "                       autorise l'accès à une mémoire sur le SMBus du PC ou sur\n"
         "                       un bus d'affichage : les EEPROM des barrettes de mémoire\n"
         "                       (SPD) y répondent aux mêmes adresses qu'une 24Cxx, et\n"
         "                       une écriture peut empêcher le PC de redémarrer\n"
         "  PLAGE                --debut ADRESSE et/ou --longueur N : n'agit que sur ces octets\n"
         "                       de la mémoire (par défaut : de 0 à la fin) ; le fichier contient\n"
         "                       les octets de la plage, le premier étant celui de ADRESSE\n"
         "  --mode page|octet    écriture par pages (par défaut) ou octet par octet\n"
         "                       (pas de mode octet pour les 24C128, 24C256 et 24C512)\n"
         "  --sans-verification  ne relit pas la mémoire après l'écriture\n"
         "  --forcer             écrit sans identifier d'abord la mémoire présente\n"
         "  --valeur OCTET       la valeur qu'écrit effacer (par défaut 0xFF)\n"
         "  --liste              chaque adresse différente sur une ligne : ADRESSE PUCE FICHIER\n"
         "  --format hex|bin     Intel HEX ou binaire brut (sinon : .hex = Intel HEX)\n"
         "  --silencieux         ni progression ni rapport des ports\n"
         "Les nombres s'écrivent en décimal ou en hexadécimal précédé de 0x. Une option\n"
         "ne se donne qu'une fois.\n"
         "\n"
         "Codes de sortie :\n"
         "  0  succès\n"
         "  1  échec de la mémoire ou du transfert (vérification comprise)\n"
         "  2  erreur d'utilisation ou de fichier ; identification d'une mémoire plus petite\n"
         "  3  la comparaison a trouvé des différences, la mémoire n'est pas vierge\n"
         "  4  le port ou la mémoire simulée est occupé par un autre programme : rien n'a été fait\n"
         "  5  interrompu par un signal (SIGINT, SIGTERM, SIGHUP) entre deux pages ou deux octets\n"
         "\n"
         "identifier lit la mémoire sans l'écrire et dit quels types elle peut être.\n"
         "Le fichier - est la sortie standard pour lire, l'entrée standard pour\n"
         "programmer et comparer (avec --format, obligatoire).\n"
         "detecter cherche l'adaptateur sur LPT1, LPT2, LPT3 puis sur les autres ports,\n"
         "puis le premier CH341A branché ; il ne touche jamais un bus I2C.\n"
         "Un programme écrit par un CH341A est toujours relu : le CH341A ne rapporte pas\n"
         "l'acquittement de chaque octet. Attention : beaucoup de cartes CH341A noires\n"
         "mettent 5 V sur les lignes de la mémoire même en position « 3,3 V ».\n"
         "ZORBIX_SIMULATION et ZORBIX_SIM_TRACE agissent comme pour zorbix32.\n";
}

}  // namespace zorbix
