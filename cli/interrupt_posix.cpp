// Interrupts under POSIX: every thread blocks the signals, and one thread waits for them, so the
// cleanup runs on an ordinary thread (it takes locks and talks to the kernel), never in a handler.
#include <pthread.h>
#include <signal.h>

#include <thread>

#include "cli/interrupt.h"

namespace calbrin {

void OnInterrupt(void (*cleanup)()) {
  sigset_t signals;
  sigemptyset(&signals);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP})
    sigaddset(&signals, signal);
  // Threads started later inherit the mask.
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  std::thread([signals, cleanup] {
    int signal = 0;
    if (sigwait(&signals, &signal) != 0) return;
    cleanup();
    // Ends the process by the signal itself, so its parent sees what ended it.
    ::signal(signal, SIG_DFL);
    pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);
    raise(signal);
  }).detach();
}

}  // namespace calbrin
