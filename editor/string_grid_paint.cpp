// Painting: backgrounds, grid lines, then the texts column by column, each
// column clipped to its own strip so that a long text cannot spill over.
#include <QPaintEvent>
#include <QPainter>

#include "grid_texts.h"
#include "string_grid.h"

namespace zorbix {

void StringGrid::paintEvent(QPaintEvent*) {
  affichagePlanifie_ = false;
  QPainter p(viewport());
  p.fillRect(viewport()->rect(), normalColor_);
  const int derniere = DerniereLigneAffichee();
  PeindreFonds(p, derniere);
  PeindreLignes(p, derniere);
  PeindreTextes(p, derniere);
}

void StringGrid::PeindreFonds(QPainter& p, int derniere) const {
  const QColor fixe = palette().color(QPalette::Button);
  const int bas = (derniere - topRow() + 2) * Pitch;
  p.fillRect(0, 0, LargeurTotale(), Pitch, fixe);
  p.fillRect(0, 0, widths_[0] + GridLineWidth, bas, fixe);

  const QRect courante = cellRect(col_, row_);
  if (!courante.isEmpty()) {
    p.fillRect(courante, palette().color(QPalette::Highlight));
    if (hasFocus()) {
      p.setPen(QPen(palette().color(QPalette::HighlightedText), 1, Qt::DotLine));
      p.drawRect(courante.adjusted(0, 0, -1, -1));
    }
  }
}

void StringGrid::PeindreLignes(QPainter& p, int derniere) const {
  const int largeur = LargeurTotale();
  const int bas = (derniere - topRow() + 2) * Pitch;
  p.setPen(palette().color(QPalette::Mid));
  for (int c = 0; c < colCount(); ++c) {
    const int x = Gauche(c) + widths_[c];
    p.drawLine(x, 0, x, bas - 1);
  }
  for (int y = RowHeight; y < bas; y += Pitch) p.drawLine(0, y, largeur - 1, y);
}

void StringGrid::PeindreTextes(QPainter& p, int derniere) const {
  p.setFont(font());
  const int bas = (derniere - topRow() + 2) * Pitch;
  for (int c = 0; c < colCount(); ++c) {
    p.setClipRect(Gauche(c), 0, widths_[c], bas);
    PeindreTexteCellule(p, c, 0);
    for (int r = topRow(); r <= derniere; ++r) PeindreTexteCellule(p, c, r);
  }
  p.setClipping(false);
}

void StringGrid::PeindreTexteCellule(QPainter& p, int col, int row) const {
  const QString& texte = cell(col, row);
  if (texte.isEmpty()) return;
  QPalette::ColorRole role = QPalette::Text;
  if (row == 0 || col == 0)
    role = QPalette::ButtonText;
  else if (col == col_ && row == row_)
    role = QPalette::HighlightedText;
  p.setPen(palette().color(role));

  const QRect r = cellRect(col, row);
  const QPoint origine(r.left() + 2, r.top() + 2 + p.fontMetrics().ascent());
  p.drawText(origine, TexteMontre(texte, col, row, oem_ ? JeuCaracteres::Oem : JeuCaracteres::Ansi));
}

}  // namespace zorbix
