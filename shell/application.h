// The application object: an error that escapes a handler is shown in the
// standard error box and the program goes on.
#pragma once

#include <QApplication>
#include <functional>

namespace zorbix {

class Dialogues;

// Shown on the task bar of the original platform; here the caption of the
// error box.
inline const QString TitreApplication = QStringLiteral("Lecteur / programmateur de mémoires I2C...");

class Application final : public QApplication {
 public:
  Application(int& argc, char** argv) : QApplication(argc, argv) {}

  void SetDialogues(Dialogues* dialogues) { dialogues_ = dialogues; }
  bool notify(QObject* receiver, QEvent* event) override;

  // The standard error box for an error that escaped; ErreurInconnue is its
  // text for what is not a std::exception.
  static constexpr const char* ErreurInconnue = "Erreur inconnue.";
  static void AfficherErreur(Dialogues& dialogues, const char* texte);
  // Runs `etapes`; whatever escapes them, std::exception or not, is shown in
  // the standard error box.
  static void ExecuterOuAfficherErreur(Dialogues& dialogues, const std::function<void()>& etapes);

 private:
  Dialogues* dialogues_ = nullptr;
};

}  // namespace zorbix
