// The signals that end a session (SIGTERM at logout or shutdown, SIGINT from
// the terminal, SIGHUP when the terminal goes) taken as a close request of
// the main window, so that the settings and the simulated chips are written
// as on "Quitter".
//
// The signal handler only writes a byte into a pipe; the event loop reads it
// and does the closing. The bus transfers never return to the event loop
// before they end, so a signal that arrives during one is acted on only once
// it has ended. A second signal while closing ends the program at once.
#pragma once

#include <QObject>

class QSocketNotifier;
class QWidget;

namespace zorbix {

class SignauxArret final : public QObject {
 public:
  // Takes SIGTERM, SIGINT and SIGHUP for `fenetre` until destroyed. Only one
  // may exist at a time.
  explicit SignauxArret(QWidget* fenetre);
  ~SignauxArret() override;

  SignauxArret(const SignauxArret&) = delete;
  SignauxArret& operator=(const SignauxArret&) = delete;

 private:
  void Recevoir();
  void Fermer();

  QWidget* fenetre_;
  QSocketNotifier* notificateur_ = nullptr;
};

}  // namespace zorbix
