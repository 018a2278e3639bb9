// A Dialogues that records every box and beep and answers from a script, so
// no test waits on a modal box.
#pragma once

#include <QString>
#include <deque>
#include <vector>

#include "shell/dialogs.h"

namespace zorbix::test {

struct BoiteVue {
  QString texte, legende;
  Dialogues::Icone icone;
  Dialogues::Boutons boutons;
};

class FakeDialogues final : public Dialogues {
 public:
  std::vector<BoiteVue> boites;
  int bips = 0;
  std::deque<Reponse> reponses;  // next answers; Ok when empty

  Reponse Message(QWidget*, const QString& texte, const QString& legende, Icone icone,
                  Boutons boutons) override {
    boites.push_back({texte, legende, icone, boutons});
    if (reponses.empty()) return Reponse::Ok;
    const Reponse r = reponses.front();
    reponses.pop_front();
    return r;
  }
  void Bip() override { ++bips; }
};

}  // namespace zorbix::test
