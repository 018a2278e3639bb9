#include "application.h"

#include <exception>

#include "dialogs/dialogs.h"

namespace zorbix {

bool Application::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    if (dialogues_) AfficherErreur(*dialogues_, e.what());
  } catch (...) {
    if (dialogues_) AfficherErreur(*dialogues_, ErreurInconnue);
  }
  return false;
}

void Application::ExecuterOuAfficherErreur(Dialogues& dialogues, const std::function<void()>& etapes) {
  try {
    etapes();
  } catch (const std::exception& e) {
    AfficherErreur(dialogues, e.what());
  } catch (...) {
    AfficherErreur(dialogues, ErreurInconnue);
  }
}

void Application::AfficherErreur(Dialogues& dialogues, const char* texte) {
  dialogues.Message(activeWindow(), QString::fromLocal8Bit(texte), TitreApplication,
                    Dialogues::Icone::Erreur);
}

}  // namespace zorbix
