// What a simulated device says and how it reads what it is told.
#include "sim/device_protocol.h"

#include <cstdio>

#include "net/socket.h"
#include "sim/password_codec.h"

namespace calbrin::sim {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kSaveLine = "SAVE";
constexpr std::string_view kSaveAndResetLine = "ENDR";
// Past this size the tool's receive buffer overflows, which is what the padding is for.
constexpr std::size_t kOversizedAnswerBytes = 4096;
constexpr std::string_view kLongPort = "12345678";
constexpr std::string_view kLongValueKey = "PORT1";

// One line of `text` from `from`: its content without the CR LF, and where the next begins.
struct Line {
  std::string_view content;
  std::size_t next = 0;
};

bool ReadLine(std::string_view text, std::size_t from, Line& line) {
  const std::size_t end = text.find(kLineEnd, from);
  if (end == std::string_view::npos) return false;
  line = {text.substr(from, end - from), end + kLineEnd.size()};
  return true;
}

SaveCommand SaveCommandOf(std::string_view line) {
  if (line == kSaveLine) return SaveCommand::kSave;
  if (line == kSaveAndResetLine) return SaveCommand::kSaveAndReset;
  return SaveCommand::kNone;
}

bool IsChannelPassword(std::string_view key) {
  return key == "PASS1" || key == "PASS2";
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string FormatMac(const MacAddress& mac) {
  std::string text;
  char part[4];
  for (std::size_t i = 0; i < mac.size(); ++i) {
    std::snprintf(part, sizeof part, i == 0 ? "%02X" : "-%02X", mac[i]);
    text += part;
  }
  return text;
}

bool ParseMac(std::string_view text, MacAddress& mac) {
  if (text.size() != 17) return false;
  MacAddress parsed{};
  for (std::size_t i = 0; i < parsed.size(); ++i) {
    const std::size_t at = i * 3;
    const int high = HexDigit(text[at]);
    const int low = HexDigit(text[at + 1]);
    if (high < 0 || low < 0) return false;
    if (i + 1 < parsed.size() && text[at + 2] != '-' && text[at + 2] != ':') return false;
    parsed[i] = static_cast<std::uint8_t>(high * 16 + low);
  }
  mac = parsed;
  return true;
}

bool IsLoopbackAddress(std::string_view address) {
  std::uint32_t value = 0;
  if (!ParseIpv4(address, value)) return false;
  return (value >> 24) == 127 && value != 0x7F000000u && value != 0x7FFFFFFFu;
}

bool IsDocumentationAddress(std::string_view address) {
  std::uint32_t value = 0;
  if (!ParseIpv4(address, value)) return false;
  const std::uint32_t net = value >> 8;
  return net == 0xC00002u || net == 0xC63364u || net == 0xCB0071u;
}

int PrefixLengthOfMask(std::string_view mask) {
  std::uint32_t value = 0;
  if (!ParseIpv4(mask, value)) return -1;
  int length = 0;
  while (length < 32 && (value & (0x80000000u >> length)) != 0)
    ++length;
  // Every bit after the leading ones must be zero.
  return length < 32 && (value << length) != 0 ? -1 : length;
}

std::string SettingsAnswer(const DeviceSettings& settings, const Faults& faults) {
  std::string answer;
  for (const DeviceKey& key : DeviceKeys()) {
    const std::string_view value =
        faults.longValue && key.name == kLongValueKey ? kLongPort : settings.Get(key.name);
    answer.append(key.name).append(kLineEnd).append(value).append(kLineEnd);
    if (faults.nulInAnswer && key.name == DeviceKeys().front().name) answer += '\0';
  }
  if (faults.noEndMarker) return answer;
  // The marker brings its own CR LF: with the text's last one kept, the tool would never see it.
  answer.resize(answer.size() - kLineEnd.size());
  for (int pad = 1;
       faults.oversizedAnswer && answer.size() + kEndMarker.size() <= kOversizedAnswerBytes;
       ++pad) {
    answer += "\r\nXPAD" + std::to_string(pad) + "\r\n" + std::string(60, 'x');
  }
  answer += kEndMarker;
  return answer;
}

bool LoginMatches(std::string_view line, std::string_view password) {
  if (password.empty()) return false;
  std::string scrambled;
  for (char c : line) {
    if (c != '\r') scrambled += c;
  }
  return Unscramble(scrambled, kLoginShift) == password;
}

Request NextRequest(std::string_view pending) {
  Line first;
  if (!ReadLine(pending, 0, first)) return {};
  if (first.content.empty()) return {RequestKind::kBlankLine, first.next, SaveCommand::kNone};
  if (first.content == kGetParamCommand) {
    return {RequestKind::kGetParam, first.next, SaveCommand::kNone};
  }
  if (first.content == kPasswordSetCommand) {
    Line body;
    Line save;
    if (!ReadLine(pending, first.next, body) || !ReadLine(pending, body.next, save)) return {};
    return {RequestKind::kPasswordSet, save.next, SaveCommandOf(save.content)};
  }
  // A write: key and value lines in turn, until a save command stands where a key would.
  Line key = first;
  for (;;) {
    const SaveCommand save = SaveCommandOf(key.content);
    if (save != SaveCommand::kNone) return {RequestKind::kWrite, key.next, save};
    Line value;
    if (!ReadLine(pending, key.next, value) || !ReadLine(pending, value.next, key)) return {};
  }
}

int ApplyWriteBlock(std::string_view block, DeviceSettings& settings) {
  DeviceSettings written = settings;
  int stored = 0;
  int lastIndex = -1;
  Line key;
  Line value;
  for (std::size_t at = 0; ReadLine(block, at, key); at = value.next) {
    if (SaveCommandOf(key.content) != SaveCommand::kNone) break;
    if (!ReadLine(block, key.next, value)) break;
    const int index = DeviceKeyIndex(key.content);
    if (index < 0) continue;
    // The device reads its keys in its own order; a key that comes back means a garbled block.
    if (index <= lastIndex) return -1;
    lastIndex = index;
    // The model is burnt into the device; a write cannot turn one model into another.
    if (key.content == "MODEL") continue;
    // A channel password of "D E L" removes it: the device then reports the empty password.
    const bool removal = IsChannelPassword(key.content) && IsRemovalWord(value.content);
    written.Set(key.content,
                removal ? Scramble("", kStoredPasswordShift) : std::string(value.content));
    ++stored;
  }
  settings = written;
  return stored;
}

PasswordChange DecodePasswordBlock(std::string_view block, std::string& password) {
  Line command;
  Line body;
  if (!ReadLine(block, 0, command) || !ReadLine(block, command.next, body)) {
    return PasswordChange::kInvalid;
  }
  if (IsRemovalWord(body.content)) return PasswordChange::kRemove;
  const std::optional<std::string> decoded = Unscramble(body.content, kStoredPasswordShift);
  if (!decoded || decoded->empty() || decoded->size() > kMaxPasswordLength) {
    return PasswordChange::kInvalid;
  }
  password = *decoded;
  return PasswordChange::kSet;
}

std::string DiscoveryReply(std::string_view modelCode, int firmwareVersion, const MacAddress& mac,
                           const Faults& faults) {
  std::string reply(kDiscoveryReplyBytes, '\0');
  reply[kReplyVersionOffset] = static_cast<char>(firmwareVersion & 0xFF);
  const char code = modelCode == "48" ? 1 : modelCode == "57" ? 2 : 0;
  reply[kReplyModelOffset] = faults.unknownModelCode ? 3 : code;
  for (std::size_t i = 0; i < mac.size(); ++i) {
    reply[kReplyMacOffset + i] = static_cast<char>(mac[i]);
  }
  if (faults.shortReply) reply.resize(kShortDiscoveryReplyBytes);
  return reply;
}

}  // namespace calbrin::sim
