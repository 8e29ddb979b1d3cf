// Reading and writing the simulator's state file.
#include "sim/state_file.h"

#include <charconv>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>
#include <thread>

namespace calbrin::sim {
namespace {

constexpr std::string_view kHeader = "qvsim-state 1";

std::string Escape(std::string_view value) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char c : value) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte > 0x20 && byte < 0x7F && byte != '%') {
      out += c;
    } else {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0x0F];
    }
  }
  return out;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool Unescape(std::string_view text, std::string& out) {
  out.clear();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out += text[i];
      continue;
    }
    if (i + 2 >= text.size()) return false;
    const int high = HexValue(text[i + 1]);
    const int low = HexValue(text[i + 2]);
    if (high < 0 || low < 0) return false;
    out += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return true;
}

}  // namespace

std::string FormatState(const std::vector<DeviceState>& devices) {
  std::string text(kHeader);
  text += '\n';
  for (const DeviceState& device : devices) {
    text += "device\n";
    text += "address " + Escape(device.address) + '\n';
    text += "version " + std::to_string(device.firmwareVersion) + '\n';
    text += "mac " + FormatMac(device.mac) + '\n';
    text += device.password.empty() ? std::string("password\n")
                                    : "password " + Escape(device.password) + '\n';
    for (const DeviceKey& key : DeviceKeys()) {
      const std::string_view value = device.settings.Get(key.name);
      text += key.name;
      if (!value.empty()) text += ' ' + Escape(value);
      text += '\n';
    }
    text += "end\n";
  }
  return text;
}

bool ParseState(std::string_view text, std::vector<DeviceState>& devices, std::string& error) {
  std::vector<DeviceState> parsed;
  bool inDevice = false;
  bool headerSeen = false;
  int lineNumber = 0;
  const auto fail = [&error, &lineNumber](std::string_view why) {
    error = "line " + std::to_string(lineNumber) + ": " + std::string(why);
    return false;
  };
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t lf = text.find('\n', at);
    if (lf == std::string_view::npos) lf = text.size();
    std::string_view line = text.substr(at, lf - at);
    at = lf + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == '#') continue;
    if (!headerSeen) {
      if (line != kHeader) return fail("not a qvsim state file");
      headerSeen = true;
      continue;
    }
    const std::size_t blank = line.find(' ');
    const std::string_view name = line.substr(0, blank);
    std::string value;
    if (blank != std::string_view::npos && !Unescape(line.substr(blank + 1), value)) {
      return fail("bad %-escape");
    }
    if (!inDevice) {
      if (name != "device") return fail("expected \"device\"");
      parsed.emplace_back();
      inDevice = true;
      continue;
    }
    DeviceState& device = parsed.back();
    if (name == "end") {
      inDevice = false;
    } else if (name == "address") {
      device.address = value;
    } else if (name == "version") {
      int version = -1;
      const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), version);
      if (ec != std::errc{} || end != value.data() + value.size() || version < 0 || version > 255) {
        return fail("version must be 0 to 255");
      }
      device.firmwareVersion = version;
    } else if (name == "mac") {
      if (!ParseMac(value, device.mac)) return fail("bad MAC address");
    } else if (name == "password") {
      device.password = value;
    } else if (DeviceKeyIndex(name) >= 0) {
      if (!device.settings.Set(name, value)) return fail("value longer than its field");
    } else {
      return fail("unknown name \"" + std::string(name) + "\"");
    }
  }
  if (!headerSeen) return fail("not a qvsim state file");
  if (inDevice) return fail("device block without \"end\"");
  devices = std::move(parsed);
  return true;
}

bool ReplaceFileAtomically(const std::string& path, std::string_view text, std::string& error) {
  const std::filesystem::path target(path);
  std::filesystem::path temporary = target;
  temporary += ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.flush();
    out.close();
    if (!out) {
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      error = "cannot write " + temporary.string();
      return false;
    }
  }
  // Windows refuses to replace a file that someone has open at that instant; it is worth a few
  // more tries before the change is reported lost.
  std::error_code ec;
  for (int attempt = 0; attempt < 50; ++attempt) {
    std::filesystem::rename(temporary, target, ec);
    if (!ec) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  std::error_code ignored;
  std::filesystem::remove(temporary, ignored);
  error = "cannot replace " + path + ": " + ec.message();
  return false;
}

bool ReadWholeFile(const std::string& path, std::string& text) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  if (!in) return false;
  std::ostringstream content;
  content << in.rdbuf();
  if (in.bad()) return false;
  text = content.str();
  return true;
}

}  // namespace calbrin::sim
