// The seam between handlers and everything modal or system-wide: message
// boxes, the beep and the file dialogs. The real one uses Qt; tests install a recording fake
// that answers from a script, so no test ever waits on a modal box.
#pragma once

#include <QString>

class QImage;
class QWidget;

namespace zorbix {

class Dialogues {
 public:
  enum class Icone { Aucune, Attention, Information, Erreur };
  // OuiNon: Oui answers Ok, Non (the default, and Escape) answers Annuler.
  enum class Boutons { Ok, OkAnnuler, OuiNon };
  enum class Reponse { Ok, Annuler };

  virtual ~Dialogues() = default;
  virtual Reponse Message(QWidget* parent, const QString& texte, const QString& legende,
                          Icone icone = Icone::Aucune, Boutons boutons = Boutons::Ok) = 0;
  // The platform's simple beep.
  virtual void Bip() = 0;

  // File commands: the open and the save dialog. Both offer the same four
  // filter entries, numbered 1 to 4 (1 and 2 raw binary, 3 and 4 Intel HEX);
  // each opens preset with a file name and an entry.
  enum class ModeFichier { Ouverture, Enregistrement };
  struct ChoixFichier {
    bool Confirme = false;  // false: the user cancelled
    QString Nom;            // the full name, as the dialog gives it
    int Filtre = 1;         // the entry left selected
  };
  virtual ChoixFichier DialogueFichier(QWidget* parent, ModeFichier mode, const QString& nom,
                                       int filtre) = 0;

  // Information windows: puts `image` on the system clipboard as a bitmap,
  // replacing what was there.
  virtual void CopierImage(const QImage& image) = 0;
};

}  // namespace zorbix
