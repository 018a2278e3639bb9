#include "status_accessible.h"

#include <QAccessibleWidget>
#include <QLabel>

namespace zorbix {
namespace {

constexpr char MarqueStatut[] = "zorbix_boite_statut";

// Read only: the text interface is there so that a change carries its text
// (Qt passes text events on only for objects that have one).
class BoiteStatutAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
 public:
  explicit BoiteStatutAccessible(QLabel* boite) : QAccessibleWidget(boite, QAccessible::StatusBar) {}

  QString text(QAccessible::Text t) const override {
    return t == QAccessible::Name ? Texte() : QAccessibleWidget::text(t);
  }
  void* interface_cast(QAccessible::InterfaceType t) override {
    if (t == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(t);
  }

  QString text(int debut, int fin) const override { return Texte().mid(debut, fin - debut); }
  int characterCount() const override { return static_cast<int>(Texte().size()); }
  void selection(int, int* debut, int* fin) const override { *debut = *fin = 0; }
  int selectionCount() const override { return 0; }
  void addSelection(int, int) override {}
  void removeSelection(int) override {}
  void setSelection(int, int, int) override {}
  int cursorPosition() const override { return 0; }
  void setCursorPosition(int) override {}
  QRect characterRect(int) const override { return QRect(); }
  int offsetAtPoint(const QPoint&) const override { return -1; }
  void scrollToSubstring(int, int) override {}
  QString attributes(int offset, int* debut, int* fin) const override {
    *debut = *fin = offset;
    return QString();
  }

 private:
  QString Texte() const { return static_cast<const QLabel*>(object())->text(); }
};

QAccessibleInterface* Fabrique(const QString& classe, QObject* o) {
  if (classe != QLatin1String("QLabel") || !o->property(MarqueStatut).toBool()) return nullptr;
  return new BoiteStatutAccessible(static_cast<QLabel*>(o));
}

}  // namespace

void FaireBoiteStatut(QLabel& boite) {
  static const bool installee = (QAccessible::installFactory(Fabrique), true);
  (void)installee;
  boite.setProperty(MarqueStatut, true);
}

void AnnoncerStatut(QLabel& boite, const QString& ancien) {
  const QString nouveau = boite.text();
  if (!QAccessible::isActive() || nouveau == ancien) return;
  if (nouveau.isEmpty()) {
    QAccessibleTextRemoveEvent retrait(&boite, 0, ancien);
    QAccessible::updateAccessibility(&retrait);
  } else {
    QAccessibleTextUpdateEvent changement(&boite, 0, ancien, nouveau);
    QAccessible::updateAccessibility(&changement);
  }
}

}  // namespace zorbix
