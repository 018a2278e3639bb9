// The real main window on the offscreen platform, over a simulated adapter
// with a 24C16 on LPT1, and a scripted dialogs seam.
#pragma once

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

#include "editor/string_grid.h"
#include "engine/sim/eeprom_model.h"
#include "engine/sim/simulated_backend.h"
#include "fake_dialogs.h"
#include "shell/entry_box.h"
#include "shell/main_window.h"

namespace zorbix::test {

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    adaptateur_ = &sim_.addAdapter(AdresseLPT1);
    adaptateur_->insertChip(EepromModel::create(6));
    previous_ = InstallerBackend(&sim_);
  }
  void TearDown() override {
    fenetre_.reset();
    InstallerBackend(previous_);
  }

  // Creates and shows the window, active, as a user would find it.
  TForm1& Demarrer(const QString& ligne = QString(), std::uint32_t graine = 0) {
    env_.LigneDeCommande = ligne;
    env_.Graine = graine;
    fenetre_ = std::make_unique<TForm1>(etat_, dialogues_, env_);
    fenetre_->show();
    QApplication::setActiveWindow(fenetre_.get());
    EXPECT_TRUE(QTest::qWaitForWindowActive(fenetre_.get()));
    QCoreApplication::processEvents();  // what showing posted: the start-up open
    return *fenetre_;
  }

  TForm1& F() { return *fenetre_; }
  StringGrid& Grille() { return *fenetre_->StringGrid1; }
  QString Cellule(int col, int row) { return Grille().cell(col, row); }
  void Touche(QWidget* w, Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(w, k, m); }
  void Texte(QWidget* w, const QString& t) { QTest::keyClicks(w, t); }
  void Choisir(int chipType) { fenetre_->OptionsMemoire[chipType]->trigger(); }

  EtatProgramme etat_;
  EnvironnementFenetre env_;  // no settings store, no language file unless a test names one
  FakeDialogues dialogues_;
  SimulatedBackend sim_;
  SimulatedAdapter* adaptateur_ = nullptr;
  std::unique_ptr<TForm1> fenetre_;

 private:
  PortBackend* previous_ = nullptr;
};

}  // namespace zorbix::test
