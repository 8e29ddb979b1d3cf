// The process-wide objects of the tool, owned by the entry point and handed to every window.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>

#include "net/adapters.h"
#include "net/console_connection.h"
#include "net/device_discovery.h"
#include "net/device_operations.h"
#include "net/wire_trace.h"
#include "settings/language.h"
#include "settings/settings_record.h"

namespace calbrin {

struct App {
  // Tests shorten the search window and the console's waits; the tool keeps the defaults.
  // `trace` (/trace:FILE) receives the console's and the search's bytes; it outlives the App.
  explicit App(std::chrono::milliseconds collectionWindow = DeviceDiscovery::kCollectionWindow,
               ConsoleTimeLimits limits = {}, WireTrace* trace = nullptr)
      : console(limits, trace),
        discovery(collectionWindow, DeviceDiscovery::kMaxEntries, RecordRule::kSkipRepeatedSource,
                  trace) {}
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  ConsoleConnection console;
  DeviceDiscovery discovery;
  AdapterTable adapters;
  // The device record, the current device identity, the login and the settings text.
  DeviceSession session;
  // The record that a settings file is read into or written from.
  SettingsRecord fileRecord;
  // The user's data folder (UserDataFolder), where Apply keeps its history and change log.
  std::filesystem::path dataFolder;
  // The folder of the executable, without a trailing separator.
  std::wstring applicationDirectory;
  // The language of every window and message box, chosen at start (window_language.h).
  Language language = Language::kJapanese;
  // Major, minor and the two words of the lower half of the product version; 0 when unreadable.
  std::array<std::uint16_t, 4> productVersion{};
};

}  // namespace calbrin
