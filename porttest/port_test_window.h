// TForm5, the port test window: the user sets each of the eight data
// register lines with a check box and reads the five status register inputs
// of one of the three ports, or of an extra port (a PCI card), by hand. It
// talks to the registers through LirePort and EcrirePort only, keeps its own
// port address, and never changes the main window's.
//
// The check boxes act on their `clicked` signal, which only the user (mouse,
// space bar) raises: AfficherSorties sets them from the value read without
// writing anything, so afterwards the boxes show that value and the register
// still holds it, untouched.
#pragma once

#include <QDialog>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "engine/extra_ports.h"
#include "engine/port_claim.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace zorbix {

class TForm5 : public QDialog {
 public:
  // `portBase` is the main window's selected port, read at every showing and
  // never written; `bip` sounds the platform's simple beep.
  TForm5(const std::uint16_t& portBase, std::function<void()> bip, QWidget* parent = nullptr);

  // The port the window acts on: data register here, status register at +1.
  std::uint16_t TestPortBase;

  QGroupBox *GroupePort, *GroupeSorties, *GroupeEntrees;
  QRadioButton *BRLPT1, *BRLPT2, *BRLPT3;
  // The fourth choice, shown only when there are extra ports: the button,
  // the list of the extra ports and the addresses of the one in the list.
  QRadioButton* BRAutre;
  QComboBox* ListeAutresPorts;
  QLabel* TexteAutrePort;
  std::array<QCheckBox*, 8> CCB{};  // CCB[n] is the box of data bit n (CCB0 .. CCB7)
  QLabel *txtError, *txtSelected, *txtPE, *txtAcknowledge, *txtBusy;
  QPushButton *BoutonLireEntrees, *BoutonTestPortP;

  // The extra ports the fourth choice offers; none hides it.
  void DefinirAutresPorts(const PortsSupplementaires& ports);
  // Told why the port shown could not be taken (or given back).
  void DefinirRefus(std::function<void(const std::string&)> refus) { refus_ = std::move(refus); }
  // Gives the port back as the window closes, however it closes.
  void done(int resultat) override;

  void FormShow();
  void BRLPTClick(QObject* Sender);
  void CCB0a7Click();
  void BoutonLireEntreesClick();
  void BoutonTestPortPClick();
  void AfficherSorties();
  void AfficherEntrees();

 protected:
  void showEvent(QShowEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  void CreerGroupePort();
  void CreerGroupeSorties();
  void CreerGroupeEntrees();
  void Centrer();
  void MontrerAutrePort(int index);
  void ListeAutresPortsChange(int index);
  void PrendrePort();
  void RendrePort();

  const std::uint16_t& portBase_;
  PortsSupplementaires autresPorts_;
  std::function<void()> bip_;
  std::function<void(const std::string&)> refus_;
  std::optional<PortPris> prise_;  // the port shown, held while the window shows it
};

}  // namespace zorbix
