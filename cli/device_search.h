// The search of calbrin-cli: one discovery broadcast from one adapter, or from every adapter with
// an IPv4 address side by side, in one collection window.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "cli/commands.h"

namespace calbrin {

struct FoundDevice {
  std::string address;
  std::string mac;
  std::string model;  // "QV-48R2" or "QV-57R"
  std::string version;
  bool outsideSubnet = false;  // outside the subnet of the adapter that found it
  std::string adapter;         // the local address whose broadcast found it
  // Another device of the search answered from the same address (units fresh from the factory
  // all have one): opening the address reaches only one of them.
  bool sharedAddress = false;
};

struct SearchResult {
  std::vector<FoundDevice> devices;
  // The local addresses whose search had more answers than it keeps: devices are missing.
  std::vector<std::string> overflowed;
};

// Broadcasts once from each address of `locals` (adapters' addresses of `adapters`) at the same
// time and collects the answers for one window. Each device (MAC) is listed once, by the first
// adapter in `locals` that heard it, also when several answer from one address. `waiting` is called
// on the calling thread about every 100 ms until the window ends.
SearchResult FindDevices(const CliSetup& setup, const AdapterTable& adapters,
                         const std::vector<std::string>& locals,
                         const std::function<void()>& waiting);

// The message for a search whose answers did not all fit, naming the local addresses; empty
// when every answer was kept; in `language`.
std::string OverflowMessage(const SearchResult& result, int capacity, Language language);

}  // namespace calbrin
