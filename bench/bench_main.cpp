// calbrin_bench: how long opening a device takes next to a bare socket exchange of the same bytes,
// and how much processor time the tool's timed waits burn, against the simulator on loopback.
#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

#include "bench/process_usage.h"
#include "net/adapters.h"
#include "net/console_connection.h"
#include "net/device_discovery.h"
#include "net/socket.h"
#include "settings/settings_record.h"
#include "settings/settings_text.h"
#include "sim/simulator.h"

namespace calbrin::bench {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kOpenings = 200;
// Not counted: the first connections pay for cold caches and the first thread creations.
constexpr int kWarmUpOpenings = 10;
constexpr std::string_view kLocalAddress = "127.0.0.1";
constexpr std::string_view kHealthyDevice = "127.0.0.2";
constexpr std::string_view kStalledDevice = "127.0.0.3";  // never ends its settings answer
constexpr std::string_view kProbeTarget = "127.0.0.9";
constexpr std::uint16_t kConsolePort = ConsoleConnection::kConsolePort;
constexpr std::string_view kCommandPrompt = ">\r\n";
constexpr std::string_view kEndMarker = "\r\nEND\r\n";
// A bare exchange gives up after this long, so a simulator that stops answering ends the run.
constexpr int kRawReadLimitMs = 5000;
// Long enough for the simulator's own polling to show a steady rate.
constexpr std::chrono::seconds kIdleSpan{5};

constexpr double kOpeningTargetMs = 2.0;
constexpr double kSearchTargetCpuSeconds = 0.05;

double Ms(Clock::duration span) {
  return std::chrono::duration<double, std::milli>(span).count();
}

// The moments between the four steps of one opening: connect and prompt, GETPARAM up to the end
// marker, copy and parse, close.
using Marks = std::array<Clock::time_point, 5>;
constexpr int kSteps = 4;
constexpr std::array<const char*, kSteps> kStepNames{"connect and prompt", "GETPARAM to end marker",
                                                     "copy and parse", "close"};

struct Summary {
  double median = 0;
  double p95 = 0;
};

// The median, and the 95th percentile by nearest rank, so that it is always a measured value.
Summary Summarize(std::vector<double> samples) {
  if (samples.empty()) return {};
  std::sort(samples.begin(), samples.end());
  const std::size_t n = samples.size();
  Summary summary;
  summary.median = n % 2 == 1 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
  const auto rank = static_cast<std::size_t>(std::ceil(0.95 * static_cast<double>(n)));
  summary.p95 = samples[std::max<std::size_t>(rank, 1) - 1];
  return summary;
}

struct Timings {
  std::vector<double> total;
  std::array<std::vector<double>, kSteps> steps;

  void Add(const Marks& marks) {
    total.push_back(Ms(marks[kSteps] - marks[0]));
    for (std::size_t i = 0; i < kSteps; ++i)
      steps[i].push_back(Ms(marks[i + 1] - marks[i]));
  }
};

// One opening the way the tool's open flow does it for a device without a password, then the
// close that follows the settings dialog.
class ToolOpening {
 public:
  ToolOpening() { console_.Startup(); }

  bool Run(Marks& marks, std::string& problem) {
    marks[0] = Clock::now();
    const int prompt = console_.OpenAndAwaitPrompt(kHealthyDevice, kLocalAddress);
    marks[1] = Clock::now();
    const int received = prompt == console::kReplySeen ? console_.RequestSettings() : 0;
    marks[2] = Clock::now();
    int parsed = -1;
    if (received > 0 && received < SettingsText::kCapacity) {
      text_.Clear();
      const std::string text = console_.ReceiveText();
      text_.Append(std::string_view(text).substr(0, static_cast<std::size_t>(received)));
      text_.length = received;
      ClearRecord(record_);
      parsed = ParseSettings(text_.View(), record_);
    }
    marks[3] = Clock::now();
    console_.Close();
    marks[4] = Clock::now();

    if (prompt != console::kReplySeen) {
      problem = "the prompt wait returned " + std::to_string(prompt);
    } else if (parsed < 0) {
      problem = "GETPARAM returned " + std::to_string(received);
    } else if (parsed != kSettingKeyCount) {
      problem = "the parse stopped at field " + std::to_string(parsed);
    }
    return problem.empty();
  }

  const SettingsRecord& Record() const { return record_; }

 private:
  ConsoleConnection console_;
  SettingsText text_;
  SettingsRecord record_;
};

// The same bytes over one socket with no receive thread and no polling: the floor that the
// simulator and the loopback interface set.
class RawExchange {
 public:
  bool Run(Marks& marks, std::string& problem) {
    marks[0] = Clock::now();
    int error = 0;
    socket_ = OpenTcpSocket(error);
    // The same socket calls as the tool's connect, so that only the waiting differs.
    if (socket_ != kInvalidSocket) {
      error = SetReuseAddress(socket_);
      if (error == 0) error = BindSocket(socket_, kLocalAddress, 0);
      if (error == 0) error = ConnectSocket(socket_, kHealthyDevice, kConsolePort);
    }
    text_.clear();
    bool ok = error == 0 && ReadUntil(kCommandPrompt);
    marks[1] = Clock::now();
    text_.clear();
    ok = ok && SendAll(ConsoleConnection::kGetParamCommand) && ReadUntil(kEndMarker);
    marks[2] = Clock::now();
    marks[3] = marks[2];
    Close();
    marks[4] = Clock::now();
    if (!ok) {
      problem = error != 0
                    ? "socket error " + std::to_string(error)
                    : "the exchange stopped after " + std::to_string(text_.size()) + " bytes";
    }
    return ok;
  }

  ~RawExchange() { Close(); }

 private:
  bool SendAll(std::string_view bytes) {
    while (!bytes.empty()) {
      int error = 0;
      const int sent = SendBytes(socket_, bytes.data(), static_cast<int>(bytes.size()), error);
      if (sent <= 0) return false;
      bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
  }

  bool ReadUntil(std::string_view suffix) {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(kRawReadLimitMs);
    while (!std::string_view(text_).ends_with(suffix)) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
      if (left <= 0 || WaitReadable(socket_, static_cast<int>(left)) != 1) return false;
      int error = 0;
      const int received =
          ReceiveBytes(socket_, buffer_.data(), static_cast<int>(buffer_.size()), error);
      if (received <= 0) return false;
      text_.append(buffer_.data(), static_cast<std::size_t>(received));
    }
    return true;
  }

  void Close() {
    if (socket_ != kInvalidSocket) CloseSocket(socket_);
    socket_ = kInvalidSocket;
  }

  SocketHandle socket_ = kInvalidSocket;
  std::string text_;
  std::array<char, 4096> buffer_{};
};

// The search below broadcasts, so the program runs only where nothing but loopback can hear it:
// a network namespace of its own whose adapters carry no address outside 127.0.0.0/8.
bool OnlyLoopbackReachable(std::string& why) {
  std::error_code selfError;
  std::error_code firstError;
  const auto self = std::filesystem::read_symlink("/proc/self/ns/net", selfError);
  // From inside a user namespace the first process's link is unreadable; the adapters decide.
  const auto first = std::filesystem::read_symlink("/proc/1/ns/net", firstError);
  if (!selfError && !firstError && self == first) {
    why = "this is the network namespace of process 1, not a private one";
    return false;
  }
  AdapterTable adapters;
  if (FillAdapterTable(adapters) != 1) {
    why = "the adapter list could not be read in full";
    return false;
  }
  for (int i = 0; i < adapters.count; ++i) {
    const AdapterEntry& entry = adapters.entries[static_cast<std::size_t>(i)];
    std::uint32_t address = 0;
    if (entry.address.empty()) continue;
    if (!ParseIpv4(entry.address, address) || (address >> 24) != 127) {
      why = "adapter " + entry.name + " has the address " + entry.address;
      return false;
    }
  }
  return true;
}

struct Span {
  double wallSeconds = 0;
  ProcessUsage usage;
};

template <typename Work>
Span MeasureSpan(Work&& work) {
  ProcessUsage before;
  ProcessUsage after;
  ReadProcessUsage(before);
  const Clock::time_point start = Clock::now();
  work();
  const Clock::time_point end = Clock::now();
  ReadProcessUsage(after);
  return {std::chrono::duration<double>(end - start).count(), after - before};
}

void PrintSummaryRow(const char* label, const std::vector<double>& samples) {
  const Summary summary = Summarize(samples);
  std::printf("  %-40s %8.3f %8.3f\n", label, summary.median, summary.p95);
}

bool MeasureOpenings(const sim::Simulator& simulator) {
  ToolOpening tool;
  RawExchange raw;
  Timings toolTimings;
  Timings rawTimings;
  std::string problem;
  for (int i = 0; i < kWarmUpOpenings + kOpenings; ++i) {
    Marks toolMarks;
    Marks rawMarks;
    // Alternating which one goes first keeps any effect of the order out of the comparison.
    const bool toolFirst = i % 2 == 0;
    bool ok = toolFirst ? tool.Run(toolMarks, problem) : raw.Run(rawMarks, problem);
    ok = ok && (toolFirst ? raw.Run(rawMarks, problem) : tool.Run(toolMarks, problem));
    if (!ok) {
      std::fprintf(stderr, "calbrin_bench: opening %d failed: %s\n", i + 1, problem.c_str());
      return false;
    }
    if (i < kWarmUpOpenings) continue;
    toolTimings.Add(toolMarks);
    rawTimings.Add(rawMarks);
  }
  const sim::DeviceSettings device = simulator.Settings(0);
  bool same = true;
  for (int i = 0; i < kSettingKeyCount; ++i)
    same = same && ReadField(tool.Record(), i) == device.Get(KeyText(i));
  if (!same) {
    std::fprintf(stderr, "calbrin_bench: the parsed record differs from the device's settings\n");
    return false;
  }

  const std::string title = "Opening a device, " + std::to_string(kOpenings) + " times each, ms";
  std::printf("%-42s %8s %8s\n", title.c_str(), "median", "p95");
  PrintSummaryRow("tool: open, GETPARAM, parse, close", toolTimings.total);
  for (std::size_t i = 0; i < kSteps; ++i) {
    const std::string label = std::string("  ") + kStepNames[i];
    PrintSummaryRow(label.c_str(), toolTimings.steps[i]);
  }
  PrintSummaryRow("raw socket exchange of the same bytes", rawTimings.total);
  for (std::size_t i : {0u, 1u, 3u}) {
    const std::string label = std::string("  ") + kStepNames[i];
    PrintSummaryRow(label.c_str(), rawTimings.steps[i]);
  }
  const double difference =
      Summarize(toolTimings.total).median - Summarize(rawTimings.total).median;
  std::printf("  %-40s %8.3f\n", "difference of the medians", difference);
  if (difference <= kOpeningTargetMs) {
    std::printf("  target: within %.1f ms of the raw exchange: met\n", kOpeningTargetMs);
  } else {
    std::printf("  target: within %.1f ms of the raw exchange: missed by %.3f ms\n",
                kOpeningTargetMs, difference - kOpeningTargetMs);
  }
  return true;
}

void PrintSpanRow(const char* label, const Span& span, double idleCpuPerSecond) {
  std::printf("  %-34s %8.3f %8.4f %8.4f %9ld\n", label, span.wallSeconds, span.usage.cpuSeconds,
              span.usage.cpuSeconds - idleCpuPerSecond * span.wallSeconds,
              span.usage.voluntarySwitches);
}

bool MeasureWaits() {
  // The simulator shares the process, so its own polling is measured alone first and its share
  // of each span below estimated from that rate.
  const Span idle = MeasureSpan([] { std::this_thread::sleep_for(kIdleSpan); });
  const double idleCpuPerSecond = idle.usage.cpuSeconds / idle.wallSeconds;

  // The waits' polling alone, with no sockets: what this machine charges for the wake-ups.
  const Span sleeps = MeasureSpan([] {
    const Clock::time_point start = Clock::now();
    while (Clock::now() - start < DeviceDiscovery::kCollectionWindow)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
  });

  DeviceDiscovery discovery;
  discovery.Startup(kProbeTarget);
  int found = 0;
  const Span search = MeasureSpan([&] { found = discovery.Discover(kLocalAddress); });
  discovery.Shutdown();
  if (found != 2) {
    std::fprintf(stderr, "calbrin_bench: the search found %d devices, not 2\n", found);
    return false;
  }

  ConsoleConnection stalled;
  stalled.Startup();
  const int prompt = stalled.OpenAndAwaitPrompt(kStalledDevice, kLocalAddress);
  if (prompt != console::kReplySeen) {
    std::fprintf(stderr, "calbrin_bench: the stalled device's prompt wait returned %d\n", prompt);
    return false;
  }
  int settings = 0;
  const Span timeOut = MeasureSpan([&] { settings = stalled.RequestSettings(); });
  stalled.Shutdown();
  if (settings != console::kTimedOut) {
    std::fprintf(stderr, "calbrin_bench: the stalled GETPARAM returned %d, not a time-out\n",
                 settings);
    return false;
  }

  std::printf("\nProcessor time, user + system, whole process, s\n");
  std::printf("  %-34s %8s %8s %8s %9s\n", "", "wall", "cpu", "w/o sim", "wake-ups");
  PrintSpanRow("simulator alone, idle", idle, idleCpuPerSecond);
  PrintSpanRow("one search, 5000 ms window", search, idleCpuPerSecond);
  PrintSpanRow("one GETPARAM time-out, 10000 ms", timeOut, idleCpuPerSecond);
  PrintSpanRow("reference: 1 ms sleeps for 5000 ms", sleeps, idleCpuPerSecond);
  std::printf("  (search found %d devices; wake-ups are voluntary context switches)\n", found);
  if (search.usage.cpuSeconds < kSearchTargetCpuSeconds) {
    std::printf("  target: search under %.3f cpu s (whole process): met\n",
                kSearchTargetCpuSeconds);
  } else {
    std::printf("  target: search under %.3f cpu s (whole process): missed by %.4f s\n",
                kSearchTargetCpuSeconds, search.usage.cpuSeconds - kSearchTargetCpuSeconds);
  }
  return true;
}

int Run() {
  std::string why;
  if (!OnlyLoopbackReachable(why)) {
    std::fprintf(stderr,
                 "calbrin_bench: refusing to run: %s.\nRun it through bench/run, which gives it a "
                 "private network namespace with only loopback up.\n",
                 why.c_str());
    return 2;
  }
  ProcessUsage probe;
  if (!ReadProcessUsage(probe)) {
    std::fprintf(stderr, "calbrin_bench: the process's usage cannot be read\n");
    return 1;
  }

  sim::Simulator simulator;
  sim::DeviceConfig healthy;
  healthy.address = kHealthyDevice;
  sim::DeviceConfig stalled;
  stalled.address = kStalledDevice;
  stalled.faults.noEndMarker = true;
  simulator.AddDevice(healthy);
  simulator.AddDevice(stalled);
  std::string error;
  if (!simulator.Start(error)) {
    std::fprintf(stderr, "calbrin_bench: the simulator did not start: %s\n", error.c_str());
    return 1;
  }
  const bool ok = MeasureOpenings(simulator) && MeasureWaits();
  simulator.Stop();
  return ok ? 0 : 1;
}

}  // namespace
}  // namespace calbrin::bench

int main() {
  return calbrin::bench::Run();
}
