#include "stop_signals.h"

#include <QApplication>
#include <QDialog>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace zorbix {
namespace {

constexpr int SignauxPris[] = {SIGTERM, SIGINT, SIGHUP};

// What the handler may touch: the pipe's write end and one flag.
int tube[2] = {-1, -1};
volatile std::sig_atomic_t fermetureEnCours = 0;

extern "C" void SurSignal(int signal) {
  if (fermetureEnCours) {
    // Already closing: the default action ends the process now.
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    return;
  }
  const int errnoSauve = errno;
  const char octet = 1;
  // A full pipe already holds a request: the byte may be lost.
  [[maybe_unused]] const ssize_t n = ::write(tube[1], &octet, 1);
  errno = errnoSauve;
}

void Installer(void (*gestionnaire)(int)) {
  struct sigaction action = {};
  action.sa_handler = gestionnaire;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int s : SignauxPris) sigaction(s, &action, nullptr);
}

}  // namespace

SignauxArret::SignauxArret(QWidget* fenetre) : fenetre_(fenetre) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, tube) != 0)
    throw std::runtime_error("Impossible de créer le tube des signaux.");
  fermetureEnCours = 0;
  notificateur_ = new QSocketNotifier(tube[0], QSocketNotifier::Read, this);
  connect(notificateur_, &QSocketNotifier::activated, this, [this] { Recevoir(); });
  Installer(SurSignal);
}

SignauxArret::~SignauxArret() {
  Installer(SIG_DFL);
  delete notificateur_;
  ::close(tube[0]);
  ::close(tube[1]);
  tube[0] = tube[1] = -1;
}

void SignauxArret::Recevoir() {
  char octets[16];
  while (::read(tube[0], octets, sizeof octets) > 0) {
  }
  if (fermetureEnCours) return;
  fermetureEnCours = 1;
  Fermer();
}

// A modal box or dialog that is open is answered as if cancelled, so that the
// handler that opened it goes no further; the main window closes once the
// event loop runs again, as "Quitter" closes it, and the event loops end.
void SignauxArret::Fermer() {
  for (int reste = 16; reste > 0; --reste) {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) break;
    if (auto* dialogue = qobject_cast<QDialog*>(modal))
      dialogue->reject();
    else
      modal->close();
  }
  QTimer::singleShot(0, this, [this] {
    fenetre_->close();
    QCoreApplication::exit(0);
  });
}

}  // namespace zorbix
