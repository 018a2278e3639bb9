#include "cli/stop_signals.h"

#include <atomic>
#include <csignal>

namespace zorbix {
namespace {

constexpr int SignauxPris[] = {SIGINT, SIGTERM, SIGHUP};

// Lock-free, so that the handler may set it.
std::atomic<bool> arret{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void SurSignal(int signal) {
  if (arret.exchange(true)) {
    std::signal(signal, SIG_DFL);
    std::raise(signal);
  }
}

}  // namespace

void InstallerSignauxArret() {
  struct sigaction action = {};
  action.sa_handler = SurSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;  // file reads and writes go on undisturbed
  for (int s : SignauxPris) sigaction(s, &action, nullptr);
}

bool ArretDemande() { return arret.load(); }

}  // namespace zorbix
