#include "engine/backends/interrupting_timer.h"

#include <signal.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>

namespace zorbix {
namespace {

// A signal that arrives just before the call starts to sleep is lost for it:
// the timer repeats until the call has returned.
constexpr long RepetitionNs = 10'000'000;

extern "C" void IgnorerAlarme(int) {}

timespec EnTimespec(std::chrono::nanoseconds duree) {
  if (duree.count() < 1) duree = std::chrono::nanoseconds(1);  // 0 would disarm the timer
  return {static_cast<time_t>(duree.count() / 1'000'000'000), static_cast<long>(duree.count() % 1'000'000'000)};
}

}  // namespace

int AppelInterrompuA(std::chrono::steady_clock::time_point echeance, const std::function<int()>& appel) {
  struct sigaction action = {};
  action.sa_handler = IgnorerAlarme;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no SA_RESTART: the call must come back with EINTR
  struct sigaction ancienne = {};
  sigaction(SIGALRM, &action, &ancienne);
  sigset_t alarme, masqueAncien;
  sigemptyset(&alarme);
  sigaddset(&alarme, SIGALRM);
  pthread_sigmask(SIG_UNBLOCK, &alarme, &masqueAncien);

  sigevent evenement = {};
  evenement.sigev_notify = SIGEV_THREAD_ID;
  evenement.sigev_signo = SIGALRM;
  evenement._sigev_un._tid = static_cast<pid_t>(::syscall(SYS_gettid));
  timer_t minuterie;
  const bool arme = timer_create(CLOCK_MONOTONIC, &evenement, &minuterie) == 0;
  if (arme) {
    itimerspec quand = {};
    quand.it_value = EnTimespec(echeance - std::chrono::steady_clock::now());
    quand.it_interval = EnTimespec(std::chrono::nanoseconds(RepetitionNs));
    timer_settime(minuterie, 0, &quand, nullptr);
  }

  const int resultat = arme ? appel() : (errno = EAGAIN, -1);
  const int erreur = errno;
  // Deleted before the handler goes: a last alarm still finds it.
  if (arme) timer_delete(minuterie);
  pthread_sigmask(SIG_SETMASK, &masqueAncien, nullptr);
  sigaction(SIGALRM, &ancienne, nullptr);
  errno = erreur;
  return resultat;
}

}  // namespace zorbix
