// The language file: at start-up, when the option asks for it, the menu
// captions, the toolbar hints, the exit button, the fill label and the two
// caption texts are replaced from ZORBIXLG.INI. Keys are applied in the
// order of the tables below; an absent key leaves its target as it is.
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <functional>

#include "editor/code_pages.h"
#include "ini_file.h"
#include "main_window.h"

namespace zorbix {
namespace {

// The file's 8-bit text is Windows-1252.
QString DepuisAnsi(const std::string& octets) {
  QString texte;
  for (unsigned char c : octets) texte += c < 0x80 ? QChar(c) : QChar(static_cast<char16_t>(Glyphe(JeuCaracteres::Ansi, c)));
  return texte;
}

struct Cible {
  const char* section;
  QString cle;
  std::function<void(const QString&)> appliquer;
};

}  // namespace

void TForm1::ChargerFichierLangue() {
  if (fichierLangue_.isEmpty() || !QFileInfo(fichierLangue_).isFile()) return;
  FichierIni ini;
  if (!ini.Charger(fichierLangue_.toStdString())) return;

  std::vector<Cible> cibles;
  const auto menu = [&](const char* section, QMenu* m, std::vector<QAction*> items) {
    cibles.push_back({section, QStringLiteral("Name"), [m](const QString& t) { m->setTitle(t); }});
    for (std::size_t i = 0; i < items.size(); ++i)
      cibles.push_back({section, QStringLiteral("Item%1").arg(i + 1),
                        [a = items[i]](const QString& t) { a->setText(t); }});
  };
  menu("Menu1", MenuFichier, {OptionOuvrirFichier, OptionSauverFichier, OptionQuitter});
  menu("Menu2", MenuAction, {OptionLire, OptionProgramOctet, OptionProgramMem, OptionComparer});
  menu("Menu3", MenuBuffer,
       {OptionBuffer00, OptionBufferFF, OptionBufferEspaces, OptionBufferRandom, OptionBufferIncremente,
        OptionBufferDecremente, OptionBufferOctet, OptionBufferComplemente, OptionBufferInvBits, RemplirLaLigne,
        OptionCaracWin, OptionCaracDos});
  std::vector<QAction*> memoire(OptionsMemoire.begin(), OptionsMemoire.end());
  memoire.push_back(OptionModePageNon);
  memoire.push_back(OptionModePageOui);
  memoire.push_back(OptionVerification);
  menu("Menu4", MenuMemoire, memoire);
  menu("Menu5", MenuConfiguration,
       {OptionLPT1, OptionLPT2, OptionLPT3, Autodetection, Testduportparallele, OptionLangue, PurgerQuitter});
  menu("Menu6", Infos1, {SchemaElectrique, Aide, APropos});

  const auto bulle = [&](QString cle, QToolButton* b) {
    cibles.push_back({"Hint", std::move(cle), [b](const QString& t) {
                         b->setToolTip(t);
                         if (!t.isEmpty()) b->setAccessibleName(t);  // a button still needs a name
                       }});
  };
  QToolButton* const avant[] = {BoutonOuvrir, BoutonSauver, BoutonLire, BoutonProgOctet, BoutonProgMem,
                                BoutonComparer};
  for (int i = 0; i < 6; ++i) bulle(QStringLiteral("Icon%1").arg(i + 1), avant[i]);
  for (int i = 0; i < 8; ++i) bulle(QStringLiteral("IconB%1").arg(i + 1), BoutonsBuffer[i]);
  bulle(QStringLiteral("Icon7"), BoutonSchema);
  bulle(QStringLiteral("Icon8"), BoutonInfos);
  bulle(QStringLiteral("Icon9"), BoutonVersion);

  cibles.push_back({"Other", QStringLiteral("Button1"), [this](const QString& t) { BitBtn1->setText(t); }});
  cibles.push_back({"Other", QStringLiteral("BufferTXT"), [this](const QString& t) { Label1->setText(t); }});
  cibles.push_back({"Other", QStringLiteral("TitleTXT"), [this](const QString& t) { Etat.TexteTitre = t; }});
  cibles.push_back({"Other", QStringLiteral("FileTXT"), [this](const QString& t) { Etat.TexteFichier = t; }});

  for (const Cible& c : cibles)
    if (const auto valeur = ini.Valeur(c.section, c.cle.toStdString())) c.appliquer(DepuisAnsi(*valeur));
}

}  // namespace zorbix
