#include "cli/stop_signals.h"

namespace zorbix {

std::atomic<bool> ArretSignale{false};

bool ArretDemande() { return ArretSignale.load(std::memory_order_relaxed); }

}  // namespace zorbix
