// The real dialogs: Qt's message box, beep, file dialog and clipboard.
#pragma once

#include "dialogs.h"

namespace zorbix {

class DialoguesQt final : public Dialogues {
 public:
  Reponse Message(QWidget* parent, const QString& texte, const QString& legende, Icone icone,
                  Boutons boutons) override;
  void Bip() override;
  ChoixFichier DialogueFichier(QWidget* parent, ModeFichier mode, const QString& nom,
                               int filtre) override;
  void CopierImage(const QImage& image) override;
};

}  // namespace zorbix
