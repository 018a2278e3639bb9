// The settings file's text and the INI reader, without Qt.
#include <gtest/gtest.h>

#include "shell/ini_file.h"
#include "shell/registry_text.h"

namespace zorbix {
namespace {

const std::string kCle = "HKEY_CURRENT_USER\\Software\\KELVANO\\TRAMEX";

ValeurRegistre Nombre(std::uint32_t n) { return {ValeurRegistre::Type::Nombre, n, {}}; }
ValeurRegistre Chaine(std::string s) { return {ValeurRegistre::Type::Chaine, 0, std::move(s)}; }

TEST(RegistryText, RoundTripKeepsNamesTypesAndOrder) {
  const ValeursRegistre valeurs = {{"Port_parallele", Nombre(888)},
                                   {"X_origine", Nombre(static_cast<std::uint32_t>(-150))},
                                   {"Nom_Fichier", Chaine("C:\\tmp\\\"x\".bin é")},
                                   {"Vide", Chaine("")},
                                   {"Nom_Fichier2", Chaine("/tmp/a\nb\r\nc\\n\\r d\t ")}};
  const std::string texte = EcrireTexteRegistre(kCle, valeurs);
  EXPECT_NE(texte.find("\"Port_parallele\"=dword:00000378\r\n"), std::string::npos);
  EXPECT_NE(texte.find("\"X_origine\"=dword:ffffff6a\r\n"), std::string::npos);
  EXPECT_NE(texte.find("\"Nom_Fichier\"=\"C:\\\\tmp\\\\\\\"x\\\".bin é\"\r\n"), std::string::npos);
  EXPECT_EQ(texte.rfind("Windows Registry Editor Version 5.00\r\n\r\n[" + kCle + "]\r\n", 0), 0u);
  EXPECT_NE(texte.find("\"Nom_Fichier2\"=\"/tmp/a\\nb\\r\\nc\\\\n\\\\r d\t \"\r\n"), std::string::npos);
  const ValeursRegistre relues = LireTexteRegistre(texte, kCle);
  ASSERT_EQ(relues.size(), valeurs.size());
  for (std::size_t i = 0; i < valeurs.size(); ++i) {
    EXPECT_EQ(relues[i].first, valeurs[i].first);
    EXPECT_EQ(relues[i].second.type, valeurs[i].second.type);
    EXPECT_EQ(relues[i].second.nombre, valeurs[i].second.nombre);
    EXPECT_EQ(relues[i].second.chaine, valeurs[i].second.chaine);
  }
}

TEST(RegistryText, ReadsOnlyItsKeyAndPassesOverWhatDoesNotParse) {
  const std::string texte =
      "[HKEY_CURRENT_USER\\Software\\Autre]\n\"Type_Memoire\"=dword:00000003\n"
      "[hkey_current_user\\software\\kelvano\\tramex]\n"
      "\"Type_Memoire\"=dword:0000000b\n"
      "\"Mode_Page\"=dword:12\n"           // not eight digits
      "\"Charger_Langue\"=hex:01\n"        // another type
      "\"Nom_Fichier\"=\"pas fermé\n"
      "n'importe quoi\n"
      "\"type_memoire\"=dword:00000002\n"  // the same name: the last counts
      "[HKEY_CURRENT_USER\\Software\\KELVANO\\TRAMEX\\Sous]\n\"Buffer_ANSI\"=dword:00000000\n";
  const ValeursRegistre v = LireTexteRegistre(texte, kCle);
  ASSERT_EQ(v.size(), 1u);
  EXPECT_EQ(v[0].first, "Type_Memoire");
  EXPECT_EQ(v[0].second.nombre, 2u);
  EXPECT_TRUE(LireTexteRegistre("", kCle).empty());
  EXPECT_TRUE(MemesNomsRegistre("Port_Parallele", "port_parallele"));
  EXPECT_FALSE(MemesNomsRegistre("Port_Parallele", "Port_Parallel"));
}

TEST(IniFile, MatchingTrimmingAndQuotes) {
  FichierIni ini;
  ini.ChargerTexte(
      "; a comment\r\n"
      "orphan=before any section\r\n"
      "[Menu1]\r\n"
      "  Name  =  \"&File\"  \r\n"
      "Item1='Open'\r\n"
      "Item2=\"mismatched'\r\n"
      "Item3=\r\n"
      "item1=second, ignored\r\n"
      "[ hint ]\n"
      "ICON1 = a \"quoted\" word\n"
      "Icon2=\"\"\n"
      ";Icon3=commented\n");
  EXPECT_EQ(ini.Valeur("menu1", "NAME"), "&File");
  EXPECT_EQ(ini.Valeur("Menu1", "Item1"), "Open");
  EXPECT_EQ(ini.Valeur("Menu1", "Item2"), "\"mismatched'");
  EXPECT_EQ(ini.Valeur("Menu1", "Item3"), "");
  EXPECT_FALSE(ini.Valeur("Menu1", "Item4"));
  EXPECT_EQ(ini.Valeur("Hint", "Icon1"), "a \"quoted\" word");
  EXPECT_EQ(ini.Valeur("Hint", "Icon2"), "");
  EXPECT_FALSE(ini.Valeur("Hint", "Icon3"));
  EXPECT_FALSE(ini.Valeur("", "orphan"));
  EXPECT_FALSE(ini.Valeur("Other", "Name"));
}

TEST(IniFile, LongValuesAreCutAndBytesKept) {
  FichierIni ini;
  ini.ChargerTexte("[Other]\nTitleTXT=\"" + std::string(3000, 'x') + "\"\nFileTXT=Fich\xE9\x80\n");
  EXPECT_EQ(ini.Valeur("Other", "TitleTXT")->size(), LongueurMaxValeurIni);
  EXPECT_EQ(ini.Valeur("Other", "FileTXT"), "Fich\xE9\x80");
  EXPECT_FALSE(FichierIni().Charger("/nonexistent/ZORBIXLG.INI"));
}

}  // namespace
}  // namespace zorbix
