#include "schema_window.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "dialogs/platform_texts.h"
#include "info_resources.h"
#include "dialogs/dialogs.h"

namespace zorbix {

TForm2::TForm2(Dialogues& dialogues)
    : FenetreInformation(
          "Form2", QStringLiteral(" Schéma électrique du lecteur-programmateur d'EEPROMs I2C :"), 542, 339),
      dialogues_(dialogues),
      schema_(ImageInformation("schema.bmp")) {
  Image1 = Placer(new QLabel(this), "Image1", 0, 0, 541, 339);
  Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Image1->setPixmap(QPixmap::fromImage(schema_));
  // Over the corner the drawing leaves blank for them.
  BoutonCopierPP = Placer(new QPushButton(QStringLiteral("&Copier (presse-papier)"), this), "BoutonCopierPP",
                          252, 306, 144, 27);
  BoutonRetour = Placer(new QPushButton(QStringLiteral("&Retour au programme"), this), "BoutonRetour", 400,
                        306, 138, 27);
  connect(BoutonCopierPP, &QPushButton::clicked, this, [this] { BoutonCopierPPClick(); });
  DefinirRetour(BoutonRetour, BoutonRetour);
}

void TForm2::BoutonCopierPPClick() {
  dialogues_.CopierImage(schema_);
  dialogues_.Message(this, TexteSchemaCopie(), QStringLiteral("Schéma électrique..."),
                     Dialogues::Icone::Information);
  BoutonRetour->setFocus();
}

}  // namespace zorbix
