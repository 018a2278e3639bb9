// The seam between handlers and everything modal or system-wide: message
// boxes and the beep. The real one uses Qt; tests install a recording fake
// that answers from a script, so no test ever waits on a modal box.
#pragma once

#include <QString>

class QWidget;

namespace zorbix {

class Dialogues {
 public:
  enum class Icone { Aucune, Attention, Information, Erreur };
  enum class Boutons { Ok, OkAnnuler };
  enum class Reponse { Ok, Annuler };

  virtual ~Dialogues() = default;
  virtual Reponse Message(QWidget* parent, const QString& texte, const QString& legende,
                          Icone icone = Icone::Aucune, Boutons boutons = Boutons::Ok) = 0;
  // The platform's simple beep.
  virtual void Bip() = 0;
};

class DialoguesQt final : public Dialogues {
 public:
  Reponse Message(QWidget* parent, const QString& texte, const QString& legende, Icone icone,
                  Boutons boutons) override;
  void Bip() override;
};

}  // namespace zorbix
