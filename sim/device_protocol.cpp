// What a simulated device says and how it reads what it is told.
#include "sim/device_protocol.h"

#include <cstdio>

#include "settings/password_scrambling.h"
#include "net/socket.h"
#include "settings/device_model.h"
#include "settings/settings_text.h"

namespace calbrin::sim {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kSaveLine = "SAVE";
constexpr std::string_view kSaveAndResetLine = "ENDR";
// Past this size the tool's receive buffer overflows, which is what the padding is for.
constexpr std::size_t kOversizedAnswerBytes = 4096;
constexpr std::string_view kLongPort = "12345678";

// One line of `text` from `from`: its content without the line end, and where the next begins.
struct Line {
  std::string_view content;
  std::size_t next = 0;
};

bool ReadLine(std::string_view text, std::size_t from, Line& line) {
  const std::size_t lf = text.find('\n', from);
  if (lf == std::string_view::npos) return false;
  std::string_view content = text.substr(from, lf - from);
  if (!content.empty() && content.back() == '\r') content.remove_suffix(1);
  line = {content, lf + 1};
  return true;
}

SaveCommand SaveCommandOf(std::string_view line) {
  if (line == kSaveLine) return SaveCommand::kSave;
  if (line == kSaveAndResetLine) return SaveCommand::kSaveAndReset;
  return SaveCommand::kNone;
}

int KeyIndex(std::string_view key) {
  for (int i = 0; i < kSettingKeyCount; ++i) {
    if (KeyText(i) == key) return i;
  }
  return -1;
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

SettingsRecord DefaultSettings(std::string_view modelCode, std::string_view address) {
  SettingsRecord record;
  const auto set = [&record](SettingKey key, std::string_view value) {
    SetField(record, key, value);
  };
  set(SettingKey::MODEL, modelCode);
  set(SettingKey::IP, address);
  set(SettingKey::SUBM, "255.0.0.0");
  set(SettingKey::GWAY, "0.0.0.0");
  set(SettingKey::NEGOS, "7");
  set(SettingKey::MSS, "1460");
  set(SettingKey::KEEP_A, "0");
  for (int channel = 1; channel <= 2; ++channel) {
    const auto setChannel = [&set, channel](SettingKey key, std::string_view value) {
      set(ChannelKey(key, channel), value);
    };
    setChannel(SettingKey::PORT1, channel == 1 ? "10001" : "10002");
    setChannel(SettingKey::HIP1, "0.0.0.0");
    setChannel(SettingKey::HPORT1, "0");
    setChannel(SettingKey::CBPS1, "9600");
    setChannel(SettingKey::CBIT1, "3");
    setChannel(SettingKey::CSTOP1, "1");
    setChannel(SettingKey::CPAR1, "0");
    setChannel(SettingKey::CFLOW1, "0");
    setChannel(SettingKey::CXON1, "17");
    setChannel(SettingKey::CXOFF1, "19");
    setChannel(SettingKey::CDRV1, "0");
    setChannel(SettingKey::PRT1, "0");
    setChannel(SettingKey::SMODE1, "1");
    setChannel(SettingKey::SPASS1, "0");
    setChannel(SettingKey::CMODE1, "0");
    setChannel(SettingKey::CPASS1, "0");
    setChannel(SettingKey::DMODE1, "0");
    // A channel without a password still holds a scrambled empty one, fillers and all.
    ScrambledPassword empty;
    ScramblePassword("", kStoredPasswordShift, empty);
    setChannel(SettingKey::PASS1, empty.Scrambled());
    setChannel(SettingKey::CCHAR1, "0");
    setChannel(SettingKey::DCHAR1, "0");
    setChannel(SettingKey::DTIME1, "60");
    setChannel(SettingKey::FLUSH1, "0");
    setChannel(SettingKey::P_EN1, "0");
    setChannel(SettingKey::PSIZE1, "0");
    setChannel(SettingKey::PTIME1, "10");
    setChannel(SettingKey::PCHAR1, "0");
    setChannel(SettingKey::PMOJ11, "13");
    setChannel(SettingKey::PMOJ21, "10");
    setChannel(SettingKey::PTRAL1, "0");
  }
  return record;
}

bool IsLoopbackAddress(std::string_view address) {
  std::uint32_t value = 0;
  if (!ParseIpv4(address, value)) return false;
  return (value >> 24) == 127 && value != 0x7F000000u && value != 0x7FFFFFFFu;
}

std::string SettingsAnswer(const SettingsRecord& settings, const Faults& faults) {
  SettingsText text;
  SerializeSettings(settings, true, SecondChannelReduced(ReadField(settings, SettingKey::MODEL)),
                    text);
  std::string answer(text.View());
  if (faults.longValue) {
    const std::string keyLine =
        std::string(kLineEnd) + std::string(KeyText(Index(SettingKey::PORT1))) + "\r\n";
    const std::size_t key = answer.find(keyLine);
    if (key != std::string::npos) {
      const std::size_t value = key + keyLine.size();
      answer.replace(value, answer.find(kLineEnd, value) - value, kLongPort);
    }
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
  std::string sent;
  return UnscramblePasswordWithShift(scrambled, kLoginShift, sent) > 0 && sent == password;
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

bool IsScrambledRemovalWord(std::string_view scrambled) {
  // The removal word has blanks, which UnscramblePassword refuses, so its rotated form is
  // compared instead. A blank rotates onto the same character as '~', so "D~E~L" removes too.
  ScrambledPassword removal;
  ScramblePassword(kRemovePasswordWord, kStoredPasswordShift, removal);
  const std::size_t wordLength = kRemovePasswordWord.size();
  return scrambled.size() == wordLength + 2 * kScrambleFillerLength &&
         scrambled.substr(kScrambleFillerLength, wordLength) ==
             removal.Scrambled().substr(kScrambleFillerLength, wordLength);
}

int ApplyWriteBlock(std::string_view block, SettingsRecord& settings) {
  int stored = 0;
  Line key;
  Line value;
  for (std::size_t at = 0; ReadLine(block, at, key); at = value.next) {
    if (SaveCommandOf(key.content) != SaveCommand::kNone) break;
    if (!ReadLine(block, key.next, value)) break;
    const int index = KeyIndex(key.content);
    // The model is burnt into the device; a write cannot turn one model into another.
    if (index < 0 || index == Index(SettingKey::MODEL)) continue;
    // A channel password of "D E L" removes it: the device then reports the empty password.
    if ((index == Index(SettingKey::PASS1) || index == Index(SettingKey::PASS2)) &&
        IsScrambledRemovalWord(value.content)) {
      ScrambledPassword empty;
      ScramblePassword("", kStoredPasswordShift, empty);
      SetField(settings, index, empty.Scrambled());
    } else {
      SetField(settings, index, value.content);
    }
    ++stored;
  }
  return stored;
}

PasswordChange DecodePasswordBlock(std::string_view block, std::string& password) {
  Line command;
  Line body;
  if (!ReadLine(block, 0, command) || !ReadLine(block, command.next, body)) {
    return PasswordChange::kInvalid;
  }
  if (IsScrambledRemovalWord(body.content)) return PasswordChange::kRemove;
  std::string decoded;
  if (UnscramblePassword(body.content, decoded) <= 0) return PasswordChange::kInvalid;
  password = decoded;
  return PasswordChange::kSet;
}

std::string DiscoveryReply(std::string_view modelCode, int firmwareVersion, const MacAddress& mac,
                           const Faults& faults) {
  std::string reply(kDiscoveryReplyBytes, '\0');
  reply[kReplyVersionOffset] = static_cast<char>(firmwareVersion & 0xFF);
  char code = 0;
  switch (ModelOf(modelCode)) {
    case DeviceModel::kQv48R2:
      code = 1;
      break;
    case DeviceModel::kQv57R:
      code = 2;
      break;
    case DeviceModel::kUnknown:
      break;
  }
  reply[kReplyModelOffset] = faults.unknownModelCode ? 3 : code;
  for (std::size_t i = 0; i < mac.size(); ++i) {
    reply[kReplyMacOffset + i] = static_cast<char>(mac[i]);
  }
  if (faults.shortReply) reply.resize(kShortDiscoveryReplyBytes);
  return reply;
}

}  // namespace calbrin::sim
