#include "about_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>

#include "info_resources.h"

namespace zorbix {
namespace {

constexpr int Largeur = 521, Hauteur = 401;

const char* const Titre = "Lecteur / Programmateur de mémoires I2C";
const char* const Version = "Version 3.2  -  août 1999 / janvier 2001";
const char* const Gratuit = "Ce programme est gratuit et libre d'utilisation.";
const char* const Conditions =
    "Vous pouvez le copier et le redistribuer librement, à condition de le diffuser complet et sans "
    "modification, avec son texte d'aide, et sans le vendre. Il est fourni tel quel, sans aucune "
    "garantie : vérifiez toujours une mémoire programmée avec la commande Comparer.";
// The project itself answers: the program has no author of its own to name.
const char* const Contact = "Contact : le projet zorbix32, par le suivi des problèmes de son dépôt";

QLabel* Texte(QWidget* parent, const char* nom, const QString& texte, int y, int hauteur) {
  auto* l = Placer(new QLabel(texte, parent), nom, 20, y, Largeur - 40, hauteur);
  l->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  return l;
}

QLabel* Image(QWidget* parent, const char* nom, const char* fichier, int x) {
  auto* l = Placer(new QLabel(parent), nom, x, 46, 179, 159);
  l->setPixmap(QPixmap::fromImage(ImageInformation(fichier)));
  return l;
}

}  // namespace

TForm3::TForm3()
    : FenetreInformation("Form3", QStringLiteral(" A propos du lecteur programmateur..."), Largeur, Hauteur) {
  QPalette couleurs = palette();
  couleurs.setColor(QPalette::Window, QColor(0, 128, 128));
  couleurs.setColor(QPalette::WindowText, Qt::white);
  couleurs.setColor(QPalette::Base, QColor(0, 128, 128));
  couleurs.setColor(QPalette::Text, Qt::white);
  setPalette(couleurs);
  setAutoFillBackground(true);
  QFont gras = font();
  gras.setBold(true);
  setFont(gras);

  LabelTitre = Texte(this, "LabelTitre", QString::fromUtf8(Titre), 12, 26);
  QFont titre = gras;
  titre.setPixelSize(20);
  LabelTitre->setFont(titre);
  Image1 = Image(this, "Image1", "about_24c16.bmp", 62);
  Image2 = Image(this, "Image2", "about_pcf8582.bmp", 280);
  LabelVersion = Texte(this, "LabelVersion", QString::fromUtf8(Version), 216, 18);
  LabelGratuit = Texte(this, "LabelGratuit", QString::fromUtf8(Gratuit), 240, 18);
  LabelConditions = Texte(this, "LabelConditions", QString::fromUtf8(Conditions), 266, 66);
  LabelConditions->setWordWrap(true);

  // Selectable, for a copy, but left out of the tab order.
  EditContact =
      Placer(new QLineEdit(QString::fromUtf8(Contact), this), "EditContact", 20, 336, Largeur - 40, 18);
  EditContact->setReadOnly(true);
  EditContact->setFrame(false);
  EditContact->setAlignment(Qt::AlignHCenter);
  EditContact->setFocusPolicy(Qt::ClickFocus);

  BoutonRetour2 = Placer(new QPushButton(QStringLiteral("Retour au programme"), this), "BoutonRetour2",
                         (Largeur - 150) / 2, 364, 150, 27);
  BoutonRetour2->setDefault(true);
  DefinirRetour(BoutonRetour2, BoutonRetour2);
}

}  // namespace zorbix
