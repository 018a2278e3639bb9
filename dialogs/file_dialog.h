// The real open and save dialogs of the file commands: Qt's file dialog with
// the four filter entries, preset with a file name and an entry, and with the
// options each command needs.
#pragma once

#include <QFileDialog>
#include <functional>

#include "dialogs.h"

namespace zorbix {

// The filter list as one text: the entry shown, then its pattern, four times.
inline constexpr char ListeFiltres[] =
    "fichier binaire BIN (*.bin)|*.bin|tout fichier binaire (*.*)|*.*|"
    "fichier Intel HEXA (*.hex)|*.hex|tout fichier au format Intel HEXA (*.*)|*.*";

class DialogueFichierQt final : public QFileDialog {
 public:
  // `filtre` is the entry selected at first, 1 to 4 (1 if out of range).
  DialogueFichierQt(QWidget* parent, Dialogues::ModeFichier mode, const QString& nom, int filtre);

  QString Nom() const;  // the file chosen, with the platform's separators
  int Filtre() const;   // the entry selected, 1 to 4

  // Tells the user why the name was refused; a warning box unless replaced.
  std::function<void(const QString& texte)> SignalerRefus;

 protected:
  // A save refuses a read-only file, or a name with a wildcard, before the
  // dialog closes.
  void accept() override;
  void showEvent(QShowEvent* e) override;

 private:
  void AjusterColonnes();
  void ElargirPourColonnes();
};

}  // namespace zorbix
