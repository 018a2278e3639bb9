// The main window: the fixed 617 x 403 client area with its toolbar band,
// the grid, the displays under it, the menus of the command map and their
// handlers. The handlers are spread over files named for what they do:
//   main_window.cpp           construction, the controls and their layout
//   main_window_menus.cpp     the menus and the command map's connections
//   main_window_startup.cpp   FormCreate, FormShow, FormClose, the command line
//   main_window_buffer.cpp    ModifierBuffer, AfficherBuffer, the character set
//   main_window_editing.cpp   the selection and the editing of one byte
//   main_window_chips.cpp     ChoixMemoire, LPTactif, OptionModePageClick
//   main_window_ports.cpp     the port group of the menu, the selection of the port
//   main_window_files.cpp     OuvrirFichier, SauverFichier, MettreAJourTitre
//   main_window_transfers.cpp LectureMemoire, ProgrammerMemoire, Comparer
//   main_window_autodetection.cpp  AutodetectionClick, TestduportparalleleClick
//   main_window_infos.cpp     the wiring diagram, help and about windows
#pragma once

#include <QMainWindow>
#include <QSize>
#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "editor/byte_editor.h"
#include "engine/adapter_table.h"
#include "engine/extra_ports.h"
#include "engine/transfers.h"
#include "engine/use_cases.h"
#include "program_state.h"

class QAction;
class QActionGroup;
class QComboBox;
class QFrame;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace zorbix {

class BoiteSaisie;
class BoiteCaractere;
class Dialogues;
class StringGrid;
class TForm2;
class TForm3;
class TForm4;
class TForm5;

// Where the window looks for what the platform provides; tests point these
// at fixed values.
struct EnvironnementFenetre {
  QString LigneDeCommande;  // the whole text after the program's name
  std::uint32_t Graine = 0; // calendar time in seconds, for the random fill
  QString FichierReglages;  // the settings store (settings_store.h); empty: none
  QString FichierLangue;    // ZORBIXLG.INI in its fixed directory
  QSize Ecran{1024, 768};   // the primary screen, for placing the window
  PortsSupplementaires AutresPorts;  // the extra ports found at start-up, after LPT1..LPT3
  PortsDemarrage Ports;              // every port with its start-up report line (PortsInstalles::ports)
};

class TForm1 : public QMainWindow {
 public:
  TForm1(EtatProgramme& etat, Dialogues& dialogues, const EnvironnementFenetre& env);
  ~TForm1() override;

  EtatProgramme& Etat;

  // Menus and their items, named as the command map names them.
  QMenu *MenuFichier, *MenuAction, *MenuBuffer, *MenuMemoire, *MenuConfiguration, *Infos1;
  QAction *OptionOuvrirFichier, *OptionSauverFichier, *OptionQuitter;
  QAction *OptionLire, *OptionProgramOctet, *OptionProgramMem, *OptionComparer;
  QAction *OptionBuffer00, *OptionBufferFF, *OptionBufferEspaces, *OptionBufferRandom,
      *OptionBufferIncremente, *OptionBufferDecremente, *OptionBufferOctet,
      *OptionBufferComplemente, *OptionBufferInvBits, *RemplirLaLigne;
  QAction *OptionCaracWin, *OptionCaracDos;
  std::array<QAction*, NombreTypesMemoire> OptionsMemoire{};  // OptionPCF8582 .. Option24C512
  QAction *OptionModePageNon, *OptionModePageOui;
  QAction* OptionVerification;
  QAction *OptionLPT1, *OptionLPT2, *OptionLPT3, *Autodetection, *Testduportparallele;
  std::vector<QAction*> OptionsAutresPorts;  // one per extra port, after OptionLPT3
  std::vector<QAction*> OptionsAdaptateurs;  // one per CH341A and I2C bus, after the parallel ports
  std::array<QAction*, 3> OptionsVitesse{};  // OptionVitesse100, 400, 750: the CH341A's bus clock
  std::array<QAction*, 8> OptionsBroches{};  // OptionBroches0 .. 7: the chip's address pins A2 A1 A0
  QAction *OptionLangue, *PurgerQuitter;
  QAction *SchemaElectrique, *Aide, *APropos;

  // Toolbar band.
  QToolButton *BoutonOuvrir, *BoutonSauver, *BoutonLire, *BoutonProgOctet, *BoutonProgMem,
      *BoutonComparer, *BoutonSchema, *BoutonInfos, *BoutonVersion;
  std::array<QToolButton*, 8> BoutonsBuffer{};  // BoutonBuffer1 .. BoutonBuffer8
  QLabel* Label1;

  // Grid and bottom band.
  StringGrid* StringGrid1;
  QProgressBar* ProgressBar;
  QRadioButton *BoutonRadioDos, *BoutonRadioWin;
  QLabel *StaticTextInfo, *StaticText2, *StaticText1;
  BoiteSaisie* Edit1;
  BoiteCaractere* Edit2;
  QComboBox* ComboBox;
  QPushButton* BitBtn1;

  // Handlers of the command map.
  void ModifierBuffer(QObject* Sender);
  void AfficherBuffer(const zorbix::Buffer& donnees, int nombre);
  void CommandeBoutonRadioDosWin(QObject* Sender);
  void ChoixMemoire(QObject* Sender);
  void LPTactif(QObject* Sender);
  void OptionModePageClick(QObject* Sender);
  void QuitterProgramme();

  // Settings and language file.
  void PurgerQuitterClick();
  void OptionLangueClick();
  void ChargerFichierLangue();

  // Selection and editing of one byte.
  bool StringGrid1SelectCell(int Col, int Row);
  void StringGrid1KeyPress(int Key);
  void StringGrid1DblClick();
  void EditKeyPress(int Key);
  void Edit1Enter();
  void Edit2Enter();
  void Edit1KeyUp();
  void Edit2KeyUp();

  // File commands (main_window_files.cpp).
  void OuvrirFichier(QObject* Sender);
  void SauverFichier(QObject* Sender);
  void MettreAJourTitre();

  // Memory transfers, autodetection and the port test window
  // (main_window_transfers.cpp, main_window_autodetection.cpp).
  void LectureMemoire();
  void ProgrammerMemoire(QObject* Sender);
  void Comparer();
  void OptionVerificationClick();
  void AutodetectionClick();
  void TestduportparalleleClick();
  void SetFenetreTestPort(TForm5* fenetre);
  // Where the compare's scratch area comes from; tests make it fail.
  AllocateurZone AllouerZoneComparaison = AllouerSansException;

  // Information windows: the wiring diagram, the about box and the help text
  // (main_window_infos.cpp). Each opens with the main window hidden and its
  // return button brings the main window back.
  void SetFenetresInformations(TForm2* schema, TForm3* aPropos, TForm4* aide);
  void VoirSchema(QObject* Sender);
  void AideClick(QObject* Sender);
  void AProposClick(QObject* Sender);
  void BoutonRetourProg(QObject* Sender);
  void BoutonRetour3Click(QObject* Sender);
  void BoutonRetour2Click(QObject* Sender);

 protected:
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  void CreerControles();
  void CreerBandeOutils(QWidget* zone);
  void CreerBandeBas(QWidget* zone);
  void CreerMenus();
  void CreerOptionsAutresPorts(const PortsSupplementaires& ports);
  std::vector<QAction*> ItemsPorts() const;  // the port group, in the order of PortsParalleles
  void ChoisirPort(const IdentitePort& port);
  IdentitePort PortChoisi() const;
  QString AvecRaisonPort(const QString& texte) const;
  void CreerOptionsAdaptateurs();  // the CH341As and I2C buses found now, re-listed when the menu opens
  void CreerOptionsReglagesAdaptateur(QMenu* menu);
  void AppliquerReglagesAdaptateur(int vitesseKHz, int broches);
  // The selected port's adapter with the user's settings, or nullptr when
  // the user did not confirm an operation on a guarded bus.
  std::unique_ptr<Adapter> AdaptateurConfirme(bool ecriture);
  void ConnecterCommandes();

  void FormCreate(const EnvironnementFenetre& env);
  void LireReglages();
  void EnregistrerReglages();
  void ConnecterReglages();
  void FormShow();
  void FormClose();
  void LireLigneDeCommande(const QString& ligne);
  void PlacerCadre(const QPoint& origine);

  void AppliquerModesEcriture();
  void StatutOccupe(const QString& texte);
  void StatutRepos();
  void RelireOctetSelectionne();
  void MontrerSaisie();
  void DebutSaisie();
  EditeurOctet editeur_;  // what the boxes show and what their keys do

  // File commands.
  void ConnecterFichiers();
  void ChargerHexa();
  void ChargerBinaire();

  // Memory transfers, autodetection and the port test window.
  void ConnecterTransferts();
  void MontrerPosition(int position);
  Suivi SuiviTransfert();
  void FinTransfert();
  TForm5* fenetreTestPort_ = nullptr;

  // Information windows.
  void ConnecterInformations();
  void Montrer(QWidget* fenetre);
  void Revenir(QWidget* fenetre);
  TForm2* Form2 = nullptr;
  TForm3* Form3 = nullptr;
  TForm4* Form4 = nullptr;

  Dialogues& dialogues_;
  QString fichierReglages_, fichierLangue_;
  QSize ecran_;
  PortsSupplementaires autresPorts_;
  PortsDemarrage demarrage_;
  std::optional<IdentitePort> autreAdaptateur_;  // the selected CH341A or I2C bus, else the parallel port
  std::vector<IdentitePort> adaptateurs_;        // those of OptionsAdaptateurs, in order
  int vitesseKHz_ = 100;
  int broches_ = 0;
  QActionGroup *groupeCarac_, *groupeMemoire_, *groupeModes_, *groupePorts_, *groupeVitesse_, *groupeBroches_;
};

}  // namespace zorbix
