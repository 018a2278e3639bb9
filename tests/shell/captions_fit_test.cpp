// Every caption of the five windows fits its control in the fonts the
// program draws with ("MS Sans Serif" through Liberation Sans, "Courier
// New" through Liberation Mono): nothing clipped, no descender cut.
#include <QCheckBox>
#include <QGroupBox>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>
#include <QTimer>

#include "porttest/port_test_window.h"
#include "infowin/about_window.h"
#include "infowin/help_window.h"
#include "infowin/schema_window.h"
#include "dialogs/dialogs_qt.h"
#include "main_window_fixture.h"

namespace zorbix::test {
namespace {

// What is wrong with `w`'s caption, or nothing.
QString Deborde(QWidget* w) {
  const QFontMetrics fm(w->font());
  QString texte;
  QSize place;
  QSize besoin;
  if (auto* l = qobject_cast<QLabel*>(w)) {
    texte = l->text();
    if (texte.isEmpty() || Qt::mightBeRichText(texte)) return QString();
    const QRect zone = l->contentsRect().adjusted(l->margin(), l->margin(), -l->margin(), -l->margin());
    const int drapeaux = Qt::TextShowMnemonic | (l->wordWrap() ? Qt::TextWordWrap : 0);
    besoin = fm.boundingRect(zone, drapeaux, texte).size();
    besoin.setHeight(std::max(besoin.height(), fm.height() * (int(texte.count('\n')) + 1)));
    place = zone.size();
  } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
    texte = g->title();
    QStyleOptionGroupBox option;
    option.initFrom(g);
    option.text = texte;
    besoin = fm.size(Qt::TextShowMnemonic, texte);
    place = g->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxFrame, g).size();
  } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
    texte = b->text();
    if (texte.isEmpty()) return QString();
    besoin = fm.size(Qt::TextShowMnemonic, texte);
    place = b->size();
    if (qobject_cast<QCheckBox*>(b) || qobject_cast<QRadioButton*>(b)) {
      const bool caseACocher = qobject_cast<QCheckBox*>(b);
      const QStyle* style = b->style();
      besoin.rwidth() +=
          style->pixelMetric(caseACocher ? QStyle::PM_IndicatorWidth : QStyle::PM_ExclusiveIndicatorWidth) +
          style->pixelMetric(caseACocher ? QStyle::PM_CheckBoxLabelSpacing : QStyle::PM_RadioButtonLabelSpacing);
    } else {
      // The style draws a push button's label inside its frame.
      QStyleOptionButton option;
      option.initFrom(b);
      place = b->style()->subElementRect(QStyle::SE_PushButtonContents, &option, b).size();
      if (!b->icon().isNull()) besoin.rwidth() += b->iconSize().width() + 4;
    }
  } else {
    return QString();
  }
  if (besoin.width() <= place.width() && besoin.height() <= place.height()) return QString();
  return QStringLiteral("%1 \"%2\": %3x%4 in %5x%6")
      .arg(w->objectName(), texte)
      .arg(besoin.width())
      .arg(besoin.height())
      .arg(place.width())
      .arg(place.height());
}

TEST_F(MainWindowTest, EveryCaptionOfTheFiveWindowsFitsItsControl) {
  Demarrer();
  TForm2 schema(dialogues_);
  TForm3 aPropos;
  TForm4 aide;
  TForm5 testPort(etat_.PortBase, [] {});
  QStringList debordements;
  int controles = 0;
  for (QWidget* fenetre : std::initializer_list<QWidget*>{&F(), &schema, &aPropos, &aide, &testPort}) {
    fenetre->show();
    for (QWidget* w : fenetre->findChildren<QWidget*>()) {
      const QString probleme = Deborde(w);
      if (!probleme.isEmpty()) debordements << fenetre->objectName() + ": " + probleme;
      controles += qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w) || qobject_cast<QGroupBox*>(w);
    }
  }
  EXPECT_GT(controles, 50);
  EXPECT_TRUE(debordements.isEmpty()) << debordements.join('\n').toStdString();
}

// The compare box's caption is wider than its text and its button.
TEST(MessageBoxTest, IsAsWideAsItsCaption) {
  DialoguesQt dialogues;
  const QString legende = QStringLiteral("Comparaison Buffer / Mémoire :");
  int largeur = 0, besoin = 0;
  QTimer::singleShot(0, [&] {
    auto* boite = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!boite) return;
    largeur = boite->width();
    besoin = boite->fontMetrics().horizontalAdvance(legende);
    boite->accept();
  });
  static_cast<Dialogues&>(dialogues).Message(nullptr, QStringLiteral("Aucune différence."), legende);
  EXPECT_GT(besoin, 0);
  EXPECT_GE(largeur, besoin + 100);
}

}  // namespace
}  // namespace zorbix::test
