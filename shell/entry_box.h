// The two entry boxes under the grid. Neither the keyboard nor the mouse
// changes their text by itself: every key goes to the window's handlers,
// which set the text, and a middle-click paste or a drop is refused.
// The character box holds the byte itself (one QChar whose code is the byte,
// like a grid cell) and draws it through the current code page.
#pragma once

#include <QLineEdit>
#include <functional>

namespace zorbix {

class BoiteSaisie : public QLineEdit {
 public:
  explicit BoiteSaisie(QWidget* parent);

  // A character key pressed (KeyPress): Enter 13, Escape 27, otherwise the
  // typed character's Windows-1252 code; keys without one are not passed on.
  std::function<void(int)> SurTouche;
  std::function<void()> SurToucheRelachee;      // a key released (KeyUp)
  std::function<void()> SurEntree;              // focus received (Enter)

  // The text as the handlers see it; the character box shows it mapped.
  virtual QString Texte() const { return text(); }
  virtual void SetTexte(const QString& texte) { setText(texte); }
  void CurseurApres(int position) { setCursorPosition(position); }

 protected:
  bool event(QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void inputMethodEvent(QInputMethodEvent*) override {}
  void mouseReleaseEvent(QMouseEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dragMoveEvent(QDragMoveEvent* e) override;
  void dropEvent(QDropEvent* e) override;
};

class BoiteCaractere final : public BoiteSaisie {
 public:
  explicit BoiteCaractere(QWidget* parent) : BoiteSaisie(parent) {}

  QString Texte() const override { return brut_; }
  void SetTexte(const QString& texte) override;
  void SetOem(bool oem);

 private:
  void Afficher();
  QString brut_;
  bool oem_ = false;
};

}  // namespace zorbix
