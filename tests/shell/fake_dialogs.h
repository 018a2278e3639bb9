// A Dialogues that records every box and beep and answers from a script, so
// no test waits on a modal box.
#pragma once

#include <QImage>
#include <QString>
#include <deque>
#include <functional>
#include <vector>

#include "dialogs/dialogs.h"

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
  std::function<void()> pendantBoite;  // runs while a message box is "open"

  Reponse Message(QWidget*, const QString& texte, const QString& legende, Icone icone,
                  Boutons boutons) override {
    boites.push_back({texte, legende, icone, boutons});
    if (pendantBoite) pendantBoite();
    if (reponses.empty()) return Reponse::Ok;
    const Reponse r = reponses.front();
    reponses.pop_front();
    return r;
  }
  void Bip() override { ++bips; }

  // File dialogs: what each was preset with, and the next answers (a
  // confirmed name and entry, or a cancel); cancelled when none is left.
  struct DialogueFichierVu {
    ModeFichier mode;
    QString nom;
    int filtre;
  };
  std::vector<DialogueFichierVu> dialoguesFichier;
  std::deque<ChoixFichier> choixFichier;
  std::function<void()> pendantDialogueFichier;  // runs while a dialog is "open"

  ChoixFichier DialogueFichier(QWidget*, ModeFichier mode, const QString& nom, int filtre) override {
    dialoguesFichier.push_back({mode, nom, filtre});
    if (pendantDialogueFichier) pendantDialogueFichier();
    if (choixFichier.empty()) return ChoixFichier();
    const ChoixFichier c = choixFichier.front();
    choixFichier.pop_front();
    return c;
  }

  // Information windows: every picture put on the clipboard, with the
  // number of message boxes shown before it.
  struct ImageCopiee {
    QImage image;
    std::size_t boitesAvant;
  };
  std::vector<ImageCopiee> imagesCopiees;
  void CopierImage(const QImage& image) override { imagesCopiees.push_back({image, boites.size()}); }
};

}  // namespace zorbix::test
