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
    if (dialogues_) AfficherErreur(*dialogues_, "Erreur inconnue.");
  }
  return false;
}

void Application::AfficherErreur(Dialogues& dialogues, const char* texte) {
  dialogues.Message(activeWindow(), QString::fromLocal8Bit(texte), TitreApplication,
                    Dialogues::Icone::Erreur);
}

}  // namespace zorbix
