// Process usage from getrusage, whose RUSAGE_SELF sums every thread, finished ones too.
#include <sys/resource.h>

#include "bench/process_usage.h"

namespace calbrin::bench {
namespace {

double Seconds(const timeval& time) {
  return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

}  // namespace

bool ReadProcessUsage(ProcessUsage& usage) {
  rusage self{};
  if (::getrusage(RUSAGE_SELF, &self) != 0) return false;
  usage.cpuSeconds = Seconds(self.ru_utime) + Seconds(self.ru_stime);
  usage.voluntarySwitches = self.ru_nvcsw;
  return true;
}

}  // namespace calbrin::bench
