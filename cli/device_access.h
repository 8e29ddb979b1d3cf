// Opening a device for calbrin-cli: the same open flow as the windows (connect from the chosen
// adapter's address, log in when the console asks, read and parse the settings), with the
// password from a file, an environment variable or the terminal.
#pragma once

#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "cli/cli_io.h"
#include "net/adapters.h"
#include "net/console_connection.h"
#include "net/device_operations.h"
#include "settings/language.h"

namespace calbrin {

// Where a device's settings password comes from; it is read once, when a device first asks, and
// then given to every device of the run, whichever thread opens it.
struct PasswordSource {
  std::string file;         // --password-file: its first line
  std::string environment;  // --password-env: the variable's value
};

class DevicePassword {
 public:
  // `language`: of the prompt and the problems, and of the texts of the opens that use it.
  DevicePassword(PasswordSource source, CliIo& io, Language language)
      : source_(std::move(source)), io_(io), language_(language) {}
  // The password, or nothing when no source holds one and nobody is at the terminal to ask.
  std::optional<std::string> Get(std::string_view address);
  // The reason Get gave nothing, for the message.
  std::string Problem() const;

 private:
  PasswordSource source_;
  CliIo& io_;
  Language language_;
  mutable std::mutex mutex_;  // one question on the terminal at a time; the password read once
  std::optional<std::string> password_;
  std::string problem_;
};

// Opens the device at `address` and runs `whileOpen` with its session while the connection is
// open. False, with the message the windows would show (or why no password was at hand) in
// `error`, when the device could not be opened. The device's messages are in `language`.
bool WithDevice(ConsoleConnection& console, const AdapterTable& adapters, std::string_view address,
                DevicePassword& password, std::string& error, Language language,
                const std::function<void(DeviceSession&)>& whileOpen);

}  // namespace calbrin
