// What calbrin-cli does when the user interrupts it: the work that must not be left half done
// (its temporary network changes) is undone before the program ends.
#pragma once

namespace calbrin {

// Runs `cleanup` when the program is interrupted (Ctrl+C, SIGINT, SIGTERM, SIGHUP, the console
// closed), then lets it end as the interrupt would have. Called once by main, before any other
// thread starts.
void OnInterrupt(void (*cleanup)());

}  // namespace calbrin
