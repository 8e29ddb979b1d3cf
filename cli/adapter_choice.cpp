// The adapter of each device's console connection.
#include "cli/adapter_choice.h"

#include <algorithm>
#include <functional>

#include "cli/cli_texts.h"
#include "net/subnet.h"

namespace calbrin {
namespace {

// The index of the first listed adapter that `matches`, or -1.
int FirstAdapter(const AdapterTable& adapters,
                 const std::function<bool(const AdapterEntry&)>& matches) {
  const int count = std::clamp(adapters.count, 0, AdapterTable::kCapacity);
  for (int i = 0; i < count; ++i) {
    if (matches(adapters.entries[static_cast<std::size_t>(i)])) return i;
  }
  return -1;
}

}  // namespace

bool HasAdapter(const AdapterTable& adapters, std::string_view address) {
  return !address.empty() && FirstAdapter(adapters, [address](const AdapterEntry& adapter) {
                               return adapter.address == address;
                             }) >= 0;
}

std::string AdapterAddresses(const AdapterTable& adapters, Language language) {
  std::string text;
  const int count = std::clamp(adapters.count, 0, AdapterTable::kCapacity);
  for (int i = 0; i < count; ++i) {
    const std::string& address = adapters.entries[static_cast<std::size_t>(i)].address;
    if (!address.empty()) text += (text.empty() ? "" : ", ") + address;
  }
  return text.empty() ? std::string(Text(CliText::kNoAdapterAddress, language)) : text;
}

AdapterTable AdapterFor(std::string_view address, const AdapterTable& adapters,
                        std::string_view from) {
  AdapterTable chosen = adapters;
  int index = -1;
  if (!from.empty()) {
    index = FirstAdapter(adapters,
                         [from](const AdapterEntry& adapter) { return adapter.address == from; });
  } else {
    index = FirstAdapter(adapters, [address](const AdapterEntry& adapter) {
      return SameSubnet(adapter.address, adapter.mask, address) == 1;
    });
    // No adapter's subnet holds the device (it lies behind a router): the windows' adapter,
    // whose default route may reach it.
    if (index < 0) return chosen;
  }
  SelectAdapter(chosen, index);
  return chosen;
}

}  // namespace calbrin
