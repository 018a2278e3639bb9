#include "help_window.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>

#include "info_resources.h"

namespace zorbix {

TForm4::TForm4() : FenetreInformation("Form4", QStringLiteral(" Aide..."), 570, 426) {
  RichEdit1 = Placer(new QPlainTextEdit(this), "RichEdit1", 0, 0, 569, 401);
  RichEdit1->setReadOnly(true);
  RichEdit1->setLineWrapMode(QPlainTextEdit::NoWrap);
  RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  // 54 columns of Courier New at 17 pixels fill the width: no frame and a
  // thin margin leave them room beside the scroll bar.
  RichEdit1->setFrameShape(QFrame::NoFrame);
  RichEdit1->document()->setDocumentMargin(2);
  QFont police(QStringLiteral("Courier New"));
  police.setPixelSize(17);
  police.setBold(true);
  RichEdit1->setFont(police);
  QPalette couleurs = RichEdit1->palette();
  couleurs.setColor(QPalette::Base, QColor(0, 0, 128));
  couleurs.setColor(QPalette::Text, Qt::yellow);
  RichEdit1->setPalette(couleurs);
  RichEdit1->setPlainText(TexteAide());

  BoutonRetour3 = Placer(new QPushButton(QStringLiteral("Retour"), this), "BoutonRetour3", 0, 401, 569, 25);
  BoutonRetour3->setDefault(true);
  // The text takes the focus, so the keys scroll it; Enter still reaches the
  // default button, which a read-only text does not use.
  DefinirRetour(BoutonRetour3, RichEdit1);
}

}  // namespace zorbix
