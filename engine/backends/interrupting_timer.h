// A system call that may sleep in the kernel without end (PPCLAIM on a port
// another program holds: the driver neither fails nor honours O_NONBLOCK),
// made with a deadline: a timer signal sent to the calling thread interrupts
// it, and the call returns EINTR.
#pragma once

#include <chrono>
#include <functional>

namespace zorbix {

// Calls `appel` and returns what it returns, with errno as it left it. From
// `echeance` on, and every 10 ms after it until `appel` returns, SIGALRM is
// sent to this thread with a handler that does nothing and does not restart
// the call; SIGALRM's previous action and this thread's signal mask are put
// back before returning. Only the calling thread is interrupted: a process-
// wide alarm may be delivered to any other thread (the window has several).
int AppelInterrompuA(std::chrono::steady_clock::time_point echeance, const std::function<int()>& appel);

}  // namespace zorbix
