// Interrupts under Windows: the console runs its control handler on a thread of its own; the
// handler cleans up and lets the default handler end the process.
#include <windows.h>

#include <atomic>

#include "cli/interrupt.h"

namespace calbrin {
namespace {

std::atomic<void (*)()> cleanupAtInterrupt{nullptr};

BOOL WINAPI OnControl(DWORD) {
  if (void (*cleanup)() = cleanupAtInterrupt.exchange(nullptr)) cleanup();
  return FALSE;
}

}  // namespace

void OnInterrupt(void (*cleanup)()) {
  cleanupAtInterrupt = cleanup;
  SetConsoleCtrlHandler(OnControl, TRUE);
}

}  // namespace calbrin
