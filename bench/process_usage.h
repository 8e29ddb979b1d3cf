// The processor time and voluntary waits of the whole process, every thread included, as the
// system accounts them; the benchmark's only use of a platform interface.
#pragma once

namespace calbrin::bench {

struct ProcessUsage {
  double cpuSeconds = 0;  // user plus system
  // Each sleep or blocking wait that gave the processor up counts one: a measure of wake-ups.
  long voluntarySwitches = 0;
};

// The totals since the process started; false when the system would not tell.
bool ReadProcessUsage(ProcessUsage& usage);

inline ProcessUsage operator-(const ProcessUsage& later, const ProcessUsage& earlier) {
  return {later.cpuSeconds - earlier.cpuSeconds,
          later.voluntarySwitches - earlier.voluntarySwitches};
}

}  // namespace calbrin::bench
