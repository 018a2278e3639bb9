// The selected byte and the editing of one byte in hexadecimal or as a
// character. The byte editor (editor/byte_editor.h) decides what a key does;
// these handlers move the focus and show what comes out. While an entry is
// pending, the Buffer and the grid keep the old value.
#include <QLabel>

#include "editor/grid_layout.h"
#include "editor/grid_refresh.h"
#include "editor/grid_texts.h"
#include "editor/string_grid.h"
#include "entry_box.h"
#include "main_window.h"

namespace zorbix {

bool TForm1::StringGrid1SelectCell(int Col, int Row) {
  const bool hexa = Col >= PremiereColonneHexa && Col < PremiereColonneHexa + OctetsParLigne;
  if (!hexa && !EstColonneCaracteres(Col)) return false;
  Etat.HexSide = hexa;
  Etat.SelectedColumn = Col - (hexa ? PremiereColonneHexa : PremiereColonneCaracteres);
  Etat.SelectedRow = Row - 1;
  Etat.SelectedAddress = Etat.SelectedRow * OctetsParLigne + Etat.SelectedColumn;
  StaticText2->setText(QStringLiteral("$%1").arg(Etat.SelectedAddress, 4, 16, QLatin1Char('0')).toUpper());
  RelireOctetSelectionne();
  return true;
}

// The boxes and the value text show the selected byte as its hex cell shows it.
void TForm1::RelireOctetSelectionne() {
  const QString& hexa = StringGrid1->cell(Etat.SelectedColumn + PremiereColonneHexa, Etat.SelectedRow + 1);
  editeur_.Montrer(static_cast<std::uint8_t>(hexa.toInt(nullptr, 16)));
  MontrerSaisie();
}

// Edit1, Edit2 and StaticText1 show the byte editor's value.
void TForm1::MontrerSaisie() {
  const std::uint8_t v = editeur_.Valeur();
  Edit1->SetTexte(TexteHexa(v));
  Edit2->SetTexte(TexteCaractere(v));
  StaticText1->setText(QStringLiteral("$%1 = %2").arg(Edit1->Texte()).arg(v));
}

void TForm1::DebutSaisie() {
  if (Etat.HexSide) {
    Edit1->setFocus();
    Edit1->CurseurApres(2);
  } else {
    Edit2->setFocus();
    Edit2->CurseurApres(1);
  }
}

void TForm1::StringGrid1KeyPress(int Key) {
  if (Key == ToucheEntree)
    DebutSaisie();
  else if (Key == ToucheEspace)
    StringGrid1->setCurrentCell(ColonneJumelle(StringGrid1->col()), StringGrid1->row());
}

void TForm1::StringGrid1DblClick() {
  const int col = StringGrid1->col();
  const int row = StringGrid1->row();
  const bool cellule = col != ColonneAdresse && col != PremiereColonneCaracteres - 1 && row >= 1 &&
                       row <= Etat.ChipSize / OctetsParLigne;
  if (cellule) DebutSaisie();
}

void TForm1::Edit1Enter() { Etat.HexSide = true; }
void TForm1::Edit2Enter() { Etat.HexSide = false; }
void TForm1::Edit1KeyUp() { Edit1->CurseurApres(2); }
void TForm1::Edit2KeyUp() { Edit2->CurseurApres(1); }

void TForm1::EditKeyPress(int Key) {
  std::uint8_t& octet = Etat.Buffer[Etat.SelectedAddress];
  const IssueTouche issue = editeur_.Touche(Key, Etat.HexSide, octet, Etat.CharsetMode);
  if (issue == IssueTouche::Ignoree) return;
  if (issue == IssueTouche::Validee) RedessinerOctet(*StringGrid1, Etat.Buffer, Etat.SelectedAddress);
  MontrerSaisie();
  // A cancel leaves the carets alone; a commit or a cancel ends the entry.
  if (issue != IssueTouche::Annulee) {
    Edit1->CurseurApres(2);
    Edit2->CurseurApres(1);
  }
  if (issue != IssueTouche::Saisie) StringGrid1->setFocus();
}

}  // namespace zorbix
