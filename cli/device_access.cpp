// Opening a device from the command line.
#include "cli/device_access.h"

#include <fstream>

#include "cli/cli_texts.h"
#include "file/utf8_path.h"

namespace calbrin {
namespace {

// The open flow's view of the command line: one row, no status line, no windows.
class CliOpenUi final : public OpenDeviceUi {
 public:
  CliOpenUi(std::string_view address, DevicePassword& password,
            const std::function<void(DeviceSession&)>& whileOpen, DeviceSession& session)
      : address_(address), password_(password), whileOpen_(whileOpen), session_(session) {}

  std::optional<Row> SelectedRow() override { return Row{address_, ""}; }
  void SetStatusText(std::string_view) override {}
  void DeselectAllRows() override {}
  void AskPassword(ScrambledPassword& login) override {
    asked_ = true;
    if (const std::optional<std::string> password = password_.Get(address_))
      ScramblePassword(*password, kLoginShift, login);
  }
  void ShowSettingsDialog() override { whileOpen_(session_); }
  void ShowError(std::string_view message) override { error_ = message; }

  bool Asked() const { return asked_; }
  const std::string& Error() const { return error_; }

 private:
  std::string address_;
  DevicePassword& password_;
  const std::function<void(DeviceSession&)>& whileOpen_;
  DeviceSession& session_;
  bool asked_ = false;
  std::string error_;
};

}  // namespace

std::optional<std::string> DevicePassword::Get(std::string_view address) {
  const std::lock_guard lock(mutex_);
  if (password_) return password_;
  if (!source_.file.empty()) {
    std::ifstream file(PathFromUtf8(source_.file));
    std::string line;
    if (!std::getline(file, line)) {
      problem_ = Text(CliText::kPasswordFileUnreadable, language_, {source_.file});
      return std::nullopt;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    password_ = line;
  } else if (!source_.environment.empty()) {
    password_ = io_.Environment(source_.environment);
    if (!password_) problem_ = Text(CliText::kVariableNotSet, language_, {source_.environment});
  } else if (io_.Interactive()) {
    password_ = io_.ReadLine(Text(CliText::kPasswordPrompt, language_, {address}), true);
  } else {
    problem_ = Text(CliText::kPasswordNeeded, language_);
  }
  return password_;
}

std::string DevicePassword::Problem() const {
  const std::lock_guard lock(mutex_);
  return problem_;
}

bool WithDevice(ConsoleConnection& console, const AdapterTable& adapters, std::string_view address,
                DevicePassword& password, std::string& error, Language language,
                const std::function<void(DeviceSession&)>& whileOpen) {
  // Large: the receive areas and records stay off the stack.
  auto session = std::make_unique<DeviceSession>();
  CliOpenUi ui(address, password, whileOpen, *session);
  if (OpenDevice(console, adapters, *session, ui, language) == 1) return true;
  error = ui.Error();
  // A password dialog left without a password ends silently in the windows; here it says why.
  if (error.empty() && ui.Asked()) error = password.Problem();
  if (error.empty()) error = Text(CliText::kDeviceNotOpened, language);
  return false;
}

}  // namespace calbrin
