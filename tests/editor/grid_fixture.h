// A grid laid out as the main window lays it out, in a shown window of its
// own, with a selection hook that accepts the hex and character columns and
// records every cell it is asked about.
#pragma once

#include <QFont>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "editor/grid_layout.h"
#include "editor/string_grid.h"

namespace zorbix {

class GrilleTest : public testing::Test {
 protected:
  void SetUp() override {
    fenetre_ = std::make_unique<QWidget>();
    grid_ = new StringGrid(fenetre_.get());
    grid_->setGeometry(8, 48, 601, 310);
    edit_ = new QLineEdit(fenetre_.get());
    edit_->setGeometry(324, 376, 28, 21);
    fenetre_->resize(617, 403);
    QFont police("Courier New");
    police.setPixelSize(13);
    police.setBold(true);
    grid_->setFont(police);
    grid_->setColWidth(0, 36);
    grid_->setColWidth(1, 12);
    grid_->setColWidth(18, 12);
    for (int c = PremiereColonneCaracteres; c <= DerniereColonneCaracteres; ++c) grid_->setColWidth(c, 10);
    grid_->setRowCount(129);
    grid_->setOnSelectCell([this](int col, int row) {
      demandes_.emplace_back(col, row);
      return (col >= 2 && col <= 17) || EstColonneCaracteres(col);
    });
    fenetre_->show();
    fenetre_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(fenetre_.get()));
    grid_->setFocus();
  }

  // Makes (col, row) current and forgets the hook calls so far.
  void Placer(int col, int row) {
    ASSERT_TRUE(grid_->setCurrentCell(col, row));
    demandes_.clear();
  }

  QPoint Centre(int col, int row) const { return grid_->cellRect(col, row).center(); }

  std::unique_ptr<QWidget> fenetre_;
  StringGrid* grid_ = nullptr;
  QLineEdit* edit_ = nullptr;
  std::vector<std::pair<int, int>> demandes_;
};

}  // namespace zorbix
