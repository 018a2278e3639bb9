// The selected byte and the editing of one byte in hexadecimal or as a
// character. States: browsing (the grid has the focus), hex entry (Edit1)
// and character entry (Edit2); a commit or a cancel returns to browsing.
// While an entry is pending, the Buffer and the grid keep the old value.
#include <QLabel>

#include "editor/code_pages.h"
#include "editor/grid_layout.h"
#include "editor/grid_texts.h"
#include "editor/string_grid.h"
#include "entry_box.h"
#include "main_window.h"

namespace zorbix {
namespace {

constexpr int ToucheEntree = 13;
constexpr int ToucheEchap = 27;
constexpr int ToucheEspace = 32;
constexpr int ToucheSuppr = 127;  // the text X11 gives the Delete key

bool EstChiffreHexa(int k) { return (k >= '0' && k <= '9') || (k >= 'A' && k <= 'F'); }

int ValeurHexa(const QString& texte) { return texte.toInt(nullptr, 16); }

}  // namespace

bool TForm1::StringGrid1SelectCell(int Col, int Row) {
  const bool hexa = Col >= PremiereColonneHexa && Col < PremiereColonneHexa + OctetsParLigne;
  if (!hexa && !EstColonneCaracteres(Col)) return false;
  Etat.HexSide = hexa;
  Etat.SelectedColumn = Col - (hexa ? PremiereColonneHexa : PremiereColonneCaracteres);
  Etat.SelectedRow = Row - 1;
  Etat.SelectedAddress = Etat.SelectedRow * OctetsParLigne + Etat.SelectedColumn;
  StaticText2->setText(QStringLiteral("$%1").arg(Etat.SelectedAddress, 4, 16, QLatin1Char('0')).toUpper());
  Edit1->SetTexte(StringGrid1->cell(Etat.SelectedColumn + PremiereColonneHexa, Row));
  Edit2->SetTexte(StringGrid1->cell(Etat.SelectedColumn + PremiereColonneCaracteres, Row));
  if (!Edit1->Texte().isEmpty()) AfficherValeur(ValeurHexa(Edit1->Texte()));
  return true;
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
  if (Key == ToucheEntree) {
    DebutSaisie();
  } else if (Key == ToucheEspace) {
    // The other cell of the same byte: hex and character blocks are 17 apart.
    const int col = StringGrid1->col();
    StringGrid1->setCurrentCell(col < PremiereColonneCaracteres ? col + 17 : col - 17, StringGrid1->row());
  }
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
  const int ligne = Etat.SelectedRow + 1;
  const int colHexa = Etat.SelectedColumn + PremiereColonneHexa;
  const int colCar = Etat.SelectedColumn + PremiereColonneCaracteres;
  if (Etat.HexSide) {
    if (Key >= 'a' && Key <= 'z') Key -= 0x20;
    if (EstChiffreHexa(Key)) {
      const QString ancien = Edit1->Texte();
      Edit1->SetTexte(ancien.right(1) + QChar(Key));
      const int v = ValeurHexa(Edit1->Texte());
      AfficherValeur(v);
      Edit2->SetTexte(TexteCaractere(static_cast<std::uint8_t>(v)));
      Edit1->CurseurApres(2);
      Edit2->CurseurApres(1);
    } else if (Key == ToucheEntree || Key == ToucheEspace) {
      StringGrid1->setCell(colHexa, ligne, Edit1->Texte());
      const int v = ValeurHexa(Edit1->Texte());
      Etat.Buffer[Etat.SelectedAddress] = static_cast<std::uint8_t>(v);
      Edit2->SetTexte(TexteCaractere(static_cast<std::uint8_t>(v)));
      StringGrid1->setCell(colCar, ligne, Edit2->Texte());
      Edit1->CurseurApres(2);
      Edit2->CurseurApres(1);
      StringGrid1->setFocus();
    }
  } else {
    // Delete and Backspace carry control codes: they enter nothing.
    if (Key >= ToucheEspace && Key <= 255 && Key != ToucheSuppr) {
      const int v = Etat.CharsetMode == JeuCaracteres::Oem ? AnsiVersOem(static_cast<std::uint8_t>(Key)) : Key;
      // A typed character is never 0x00, so its one-character text is never empty.
      Edit2->SetTexte(TexteCaractere(static_cast<std::uint8_t>(v)));
      Edit1->SetTexte(TexteHexa(static_cast<std::uint8_t>(v)));
      AfficherValeur(v);
      Edit1->CurseurApres(2);
      Edit2->CurseurApres(1);
    } else if (Key == ToucheEntree) {
      const QString texte = Edit2->Texte();
      const int v = texte.isEmpty() ? 0 : texte.at(0).unicode() & 0xFF;
      Etat.Buffer[Etat.SelectedAddress] = static_cast<std::uint8_t>(v);
      Edit1->SetTexte(TexteHexa(static_cast<std::uint8_t>(v)));
      StringGrid1->setCell(colHexa, ligne, Edit1->Texte());
      AfficherValeur(v);
      StringGrid1->setCell(colCar, ligne, TexteCaractere(static_cast<std::uint8_t>(v)));
      Edit1->CurseurApres(2);
      Edit2->CurseurApres(1);
      StringGrid1->setFocus();
    }
  }
  if (Key == ToucheEchap) {
    const std::uint8_t v = Etat.Buffer[Etat.SelectedAddress];
    Edit1->SetTexte(TexteHexa(v));
    Edit2->SetTexte(TexteCaractere(v));
    AfficherValeur(v);
    StringGrid1->setFocus();
  }
}

}  // namespace zorbix
