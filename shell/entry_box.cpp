#include "entry_box.h"

#include <QDropEvent>
#include <QKeyEvent>
#include <QMouseEvent>

#include "editor/code_pages.h"
#include "editor/grid_texts.h"

namespace zorbix {
namespace {

// The Delphi-style key code of a key press, or -1 when it types nothing.
int CodeTouche(const QKeyEvent* e) {
  if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) return 13;
  if (e->key() == Qt::Key_Escape) return 27;
  const QString texte = e->text();
  if (texte.isEmpty()) return -1;
  const char32_t c = texte.toUcs4().value(0);
  return c < 0x80 ? static_cast<int>(c) : OctetAnsi(c);
}

}  // namespace

BoiteSaisie::BoiteSaisie(QWidget* parent) : QLineEdit(parent) {
  setAttribute(Qt::WA_InputMethodEnabled, false);
  setContextMenuPolicy(Qt::NoContextMenu);
  setDragEnabled(false);
  setAcceptDrops(false);
}

bool BoiteSaisie::event(QEvent* e) {
  // A line edit claims Ctrl+C, Ctrl+V, Home... for itself; here the window's
  // menu shortcuts win, whichever control has the focus.
  if (e->type() == QEvent::ShortcutOverride) {
    e->ignore();
    return true;
  }
  return QLineEdit::event(e);
}

void BoiteSaisie::keyPressEvent(QKeyEvent* e) {
  const int code = CodeTouche(e);
  if (code >= 0 && SurTouche) SurTouche(code);
  e->accept();
}

void BoiteSaisie::keyReleaseEvent(QKeyEvent* e) {
  if (SurToucheRelachee) SurToucheRelachee();
  e->accept();
}

void BoiteSaisie::focusInEvent(QFocusEvent* e) {
  QLineEdit::focusInEvent(e);
  deselect();  // neither box selects its text on entry
  if (SurEntree) SurEntree();
}

// The middle button pastes the X primary selection on release.
void BoiteSaisie::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::MiddleButton) {
    e->accept();
    return;
  }
  QLineEdit::mouseReleaseEvent(e);
}

void BoiteSaisie::dragEnterEvent(QDragEnterEvent* e) { e->ignore(); }
void BoiteSaisie::dragMoveEvent(QDragMoveEvent* e) { e->ignore(); }
void BoiteSaisie::dropEvent(QDropEvent* e) { e->ignore(); }

void BoiteCaractere::SetTexte(const QString& texte) {
  brut_ = texte.left(1);
  Afficher();
}

void BoiteCaractere::SetOem(bool oem) {
  oem_ = oem;
  Afficher();
}

void BoiteCaractere::Afficher() {
  const int position = cursorPosition();
  setText(brut_.isEmpty() ? QString()
                          : TexteGlyphe(oem_ ? JeuCaracteres::Oem : JeuCaracteres::Ansi,
                                        static_cast<std::uint8_t>(brut_.at(0).unicode())));
  setCursorPosition(position);
}

}  // namespace zorbix
