// qvsim: plays QV devices on loopback addresses until it is interrupted, for trying the tool by
// hand and for tests that need the devices in a process of their own; with --interface, one
// device of a simulated site (scripts/site) on an interface of its own network namespace.
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "net/network_changes.h"
#include "sim/link_mover.h"
#include "sim/simulator.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

// As many devices as 127.0.0.2 to 127.0.255.255 hold, each with a MAC of its own. Each device is
// a thread with two sockets, so the system's limits on threads and open files may end a run of
// that size at its start, with a message.
constexpr int kMaxCount = 65534;

extern "C" void OnStopSignal(int) {
  stopRequested = 1;
}

void PrintUsage(std::FILE* to) {
  std::fprintf(
      to,
      "usage: qvsim [--state FILE] [--count N] DEVICE...\n"
      "       qvsim [--state FILE] --interface NAME DEVICE\n"
      "\n"
      "Plays QV devices: a console on TCP port %u of each device's address and answers\n"
      "to discovery requests on UDP port %u. Runs until SIGINT (Ctrl+C) or SIGTERM.\n"
      "\n"
      "  --interface NAME  play one device on the interface NAME of a network namespace\n"
      "                of its own, which already has the device's address, subnet and\n"
      "                default route: the device's address is from 192.0.2.0/24,\n"
      "                198.51.100.0/24 or 203.0.113.0/24, its sockets listen on every\n"
      "                address, and a reset after a write of IP, SUBM or GWAY moves NAME\n"
      "                there (needs CAP_NET_ADMIN; for a move within the subnet the\n"
      "                namespace must promote secondary addresses)\n"
      "  --state FILE  keep every device's address, version, MAC, settings and password\n"
      "                in FILE, rewritten after each change; when FILE exists its devices\n"
      "                are played and DEVICE arguments only add their faults, by position\n"
      "  --count N     play N devices (at most 65534) on consecutive addresses from\n"
      "                127.0.0.2, made from the DEVICE arguments in turn (default: 48)\n"
      "  --help        this text\n"
      "\n"
      "DEVICE is MODEL[,NAME=VALUE]...:\n"
      "  MODEL         48 (QV-48R2) or 57 (QV-57R)\n"
      "  address=A     a loopback address 127.x.x.x; default the first free one of\n"
      "                127.0.0.2, 127.0.0.3, ... (with --interface: the device's address)\n"
      "  subnet=M      subnet mask, SUBM (default 255.0.0.0)\n"
      "  gateway=G     default gateway, GWAY (default 0.0.0.0: none)\n"
      "  version=V     firmware version byte 0 to 255, shown as V/100.V%%100 (default 100)\n"
      "  mac=M         MAC address as 02-00-00-00-00-01 (default 02-00 and the device's\n"
      "                position in hexadecimal: 02-00-00-00-00-01, ..., 02-00-00-00-01-00, ...)\n"
      "  password=P    settings password, 1 to 32 characters from '!' to '~' (default none)\n"
      "  fault=F       switch fault F on; may be repeated. Faults:\n",
      calbrin::sim::kConsolePort, calbrin::sim::kDiscoveryPort);
  static constexpr std::string_view kHelp[] = {
      "no prompt after connect; everything is read and ignored",
      "the prompt, then the connection is closed",
      "every login is answered with the password prompt again",
      "GETPARAM answers PORT1 with 8 digits, one more than its field holds",
      "the GETPARAM answer is padded past 4096 bytes",
      "the GETPARAM answer lacks its end marker",
      "save and password answers come MS ms late (delay-ack:MS; default 1000)",
      "saves and passwords: not stored, not answered, connection kept",
      "the two faults above hit password blocks only, not settings writes",
      "the GETPARAM answer, then the connection is closed",
      "the GETPARAM answer holds a NUL byte after its first pair",
      "the GETPARAM answer goes out a key and its value at a time, 3 ms apart",
      "the discovery reply names model code 3",
      "the discovery reply is 20 bytes long",
      "every discovery request is answered twice",
  };
  const auto names = calbrin::sim::FaultNames();
  for (std::size_t i = 0; i < names.size(); ++i) {
    std::fprintf(to, "    %-22s%s\n", std::string(names[i]).c_str(), std::string(kHelp[i]).c_str());
  }
  std::fprintf(to,
               "\nexample: qvsim 48 57,password=secret 48,address=127.0.0.5,version=113,"
               "fault=no-end-marker\n");
}

bool ParseDevice(std::string_view text, calbrin::sim::DeviceConfig& config, std::string& error) {
  std::size_t comma = text.find(',');
  config.model = std::string(text.substr(0, comma));
  if (!calbrin::sim::IsDeviceModel(config.model)) {
    error = "the model must be 48 or 57, not \"" + config.model + "\"";
    return false;
  }
  while (comma != std::string_view::npos) {
    const std::size_t start = comma + 1;
    comma = text.find(',', start);
    const std::string_view item = text.substr(start, comma - start);
    const std::size_t equals = item.find('=');
    const std::string_view name = item.substr(0, equals);
    const std::string_view value =
        equals == std::string_view::npos ? std::string_view{} : item.substr(equals + 1);
    if (equals == std::string_view::npos || value.empty()) {
      error = "\"" + std::string(item) + "\" is not NAME=VALUE";
      return false;
    }
    if (name == "address") {
      config.address = std::string(value);
    } else if (name == "subnet") {
      config.subnetMask = std::string(value);
    } else if (name == "gateway") {
      config.gateway = std::string(value);
    } else if (name == "version") {
      int version = -1;
      const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), version);
      if (ec != std::errc{} || end != value.data() + value.size() || version < 0 || version > 255) {
        error = "the version must be 0 to 255";
        return false;
      }
      config.firmwareVersion = version;
    } else if (name == "mac") {
      calbrin::sim::MacAddress mac{};
      if (!calbrin::sim::ParseMac(value, mac)) {
        error = "bad MAC address \"" + std::string(value) + "\"";
        return false;
      }
      config.mac = mac;
    } else if (name == "password") {
      config.password = std::string(value);
    } else if (name == "fault") {
      if (!calbrin::sim::SetFaultByName(value, config.faults)) {
        error = "unknown fault \"" + std::string(value) + "\" (see --help)";
        return false;
      }
    } else {
      error = "unknown option \"" + std::string(name) + "\"";
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  calbrin::sim::Simulator::Options options;
  std::vector<calbrin::sim::DeviceConfig> devices;
  int count = 0;              // --count; 0: one device per DEVICE argument
  std::string interfaceName;  // --interface; empty: loopback devices
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      PrintUsage(stdout);
      return 0;
    }
    if (arg == "--count") {
      const std::string_view value = i + 1 < argc ? argv[i + 1] : "";
      const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), count);
      if (ec != std::errc{} || end != value.data() + value.size() || count < 1 ||
          count > kMaxCount) {
        std::fprintf(stderr, "qvsim: --count needs a number from 1 to %d\n", kMaxCount);
        return 2;
      }
      ++i;
      continue;
    }
    if (arg == "--interface") {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "qvsim: --interface needs an interface name\n");
        return 2;
      }
      interfaceName = argv[++i];
      continue;
    }
    if (arg == "--state") {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "qvsim: --state needs a file name\n");
        return 2;
      }
      options.stateFile = argv[++i];
      continue;
    }
    calbrin::sim::DeviceConfig config;
    std::string error;
    if (arg.starts_with("-") || !ParseDevice(arg, config, error)) {
      std::fprintf(stderr, "qvsim: %s: %s\n", argv[i],
                   error.empty() ? "unknown option" : error.c_str());
      PrintUsage(stderr);
      return 2;
    }
    devices.push_back(std::move(config));
  }
  if (count > 0) {
    if (devices.empty()) devices.emplace_back();
    std::vector<calbrin::sim::DeviceConfig> repeated;
    for (int n = 0; n < count; ++n)
      repeated.push_back(devices[static_cast<std::size_t>(n) % devices.size()]);
    devices = std::move(repeated);
  }
  const bool haveState = !options.stateFile.empty() && std::filesystem::exists(options.stateFile);
  if (devices.empty() && !haveState) {
    PrintUsage(stderr);
    return 2;
  }

  if (!interfaceName.empty()) {
    if (count > 0 || devices.size() > 1) {
      std::fprintf(stderr, "qvsim: --interface plays one device\n");
      return 2;
    }
    if (calbrin::InterfaceIndexNamed(interfaceName) == 0) {
      std::fprintf(stderr, "qvsim: there is no interface %s\n", interfaceName.c_str());
      return 1;
    }
    options.moveLink = calbrin::sim::InterfaceMover(interfaceName);
  }

  calbrin::sim::Simulator simulator(options);
  for (auto& config : devices)
    simulator.AddDevice(std::move(config));
  std::string error;
  if (!simulator.Start(error)) {
    std::fprintf(stderr, "qvsim: %s\n", error.c_str());
    return 1;
  }
  std::signal(SIGINT, OnStopSignal);
  std::signal(SIGTERM, OnStopSignal);
  for (int i = 0; i < simulator.DeviceCount(); ++i) {
    const calbrin::sim::DeviceState state = simulator.State(i);
    const std::string faults = calbrin::sim::DescribeFaults(simulator.GetFaults(i));
    std::printf("%-15s %-7s %s  version %d.%02d  %s%s%s\n", state.address.c_str(),
                simulator.Model(i) == "57" ? "QV-57R" : "QV-48R2",
                calbrin::sim::FormatMac(state.mac).c_str(), state.firmwareVersion / 100,
                state.firmwareVersion % 100,
                state.password.empty() ? "no password" : "password set",
                faults.empty() ? "" : "  faults: ", faults.c_str());
  }
  std::fflush(stdout);

  while (stopRequested == 0)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  simulator.Stop();
  const std::string problem = simulator.LastProblem();
  if (!problem.empty()) std::fprintf(stderr, "qvsim: last problem: %s\n", problem.c_str());
  return 0;
}
