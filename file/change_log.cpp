// The change log's lines and files: records written and read back as JSON, appended one whole
// line at a time, with the full file moved aside rather than grown without bound.
#include "file/change_log.h"

#include <cstdio>
#include <fstream>
#include <system_error>

#include "settings/device_text.h"

namespace calbrin {
namespace {

// Just enough JSON to read the log's own lines back: strings (where \u00NN is the byte NN, as
// JsonBytes writes a device's bytes), true, false, null, numbers, arrays and objects.
struct JsonValue {
  enum class Kind { kNull, kBool, kNumber, kString, kArray, kObject } kind = Kind::kNull;
  bool truth = false;
  std::string text;
  std::vector<JsonValue> items;
  // An object's members: names[i] names values[i]. (A pair of a name and a value would need the
  // value's type complete inside its own definition.)
  std::vector<std::string> names;
  std::vector<JsonValue> values;

  const JsonValue* Member(std::string_view name) const {
    for (std::size_t i = 0; i < names.size(); ++i) {
      if (names[i] == name) return &values[i];
    }
    return nullptr;
  }
};

class JsonReader {
 public:
  explicit JsonReader(std::string_view text) : text_(text) {}

  // The whole text as one value; nothing when anything is out of place or left over.
  std::optional<JsonValue> Document() {
    JsonValue value;
    if (!Value(value, 0)) return std::nullopt;
    Blanks();
    return at_ == text_.size() ? std::optional(std::move(value)) : std::nullopt;
  }

 private:
  static constexpr int kMaxDepth = 16;

  void Blanks() {
    while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t'))
      ++at_;
  }
  bool Take(char c) {
    Blanks();
    if (at_ >= text_.size() || text_[at_] != c) return false;
    ++at_;
    return true;
  }
  bool Word(std::string_view word) {
    if (text_.substr(at_, word.size()) != word) return false;
    at_ += word.size();
    return true;
  }

  bool String(std::string& out) {
    if (!Take('"')) return false;
    while (at_ < text_.size()) {
      const char c = text_[at_++];
      if (c == '"') return true;
      if (static_cast<unsigned char>(c) < 0x20) return false;
      if (c != '\\') {
        out += c;
        continue;
      }
      if (at_ >= text_.size()) return false;
      const char escape = text_[at_++];
      static constexpr std::string_view kPlain = "\"\\/";
      if (kPlain.find(escape) != std::string_view::npos) {
        out += escape;
      } else if (escape == 'n' || escape == 't' || escape == 'r' || escape == 'b' ||
                 escape == 'f') {
        out += escape == 'n'   ? '\n'
               : escape == 't' ? '\t'
               : escape == 'r' ? '\r'
               : escape == 'b' ? '\b'
                               : '\f';
      } else if (escape == 'u' && at_ + 4 <= text_.size()) {
        unsigned code = 0;
        for (int i = 0; i < 4; ++i) {
          const char digit = text_[at_++];
          const int value = digit >= '0' && digit <= '9'   ? digit - '0'
                            : digit >= 'a' && digit <= 'f' ? digit - 'a' + 10
                            : digit >= 'A' && digit <= 'F' ? digit - 'A' + 10
                                                           : -1;
          if (value < 0) return false;
          code = code * 16 + static_cast<unsigned>(value);
        }
        // The log writes no character above U+00FF as an escape.
        if (code > 0xFF) return false;
        out += static_cast<char>(code);
      } else {
        return false;
      }
    }
    return false;
  }

  bool Value(JsonValue& value, int depth) {
    if (depth > kMaxDepth) return false;
    Blanks();
    if (at_ >= text_.size()) return false;
    using enum JsonValue::Kind;
    const char c = text_[at_];
    if (c == '"') {
      value.kind = kString;
      return String(value.text);
    }
    if (c == '{') {
      value.kind = kObject;
      ++at_;
      if (Take('}')) return true;
      do {
        std::string name;
        JsonValue member;
        if (!String(name) || !Take(':') || !Value(member, depth + 1)) return false;
        value.names.push_back(std::move(name));
        value.values.push_back(std::move(member));
      } while (Take(','));
      return Take('}');
    }
    if (c == '[') {
      value.kind = kArray;
      ++at_;
      if (Take(']')) return true;
      do {
        if (!Value(value.items.emplace_back(), depth + 1)) return false;
      } while (Take(','));
      return Take(']');
    }
    if (Word("true") || Word("false")) {
      value.kind = kBool;
      value.truth = c == 't';
      return true;
    }
    if (Word("null")) return true;
    const std::size_t start = at_;
    while (at_ < text_.size() &&
           std::string_view("+-.0123456789eE").find(text_[at_]) != std::string_view::npos)
      ++at_;
    value.kind = kNumber;
    value.text = text_.substr(start, at_ - start);
    return at_ > start;
  }

  std::string_view text_;
  std::size_t at_ = 0;
};

// The string member `name` of `object` into `out`; false when it is there and no string.
bool StringMember(const JsonValue& object, std::string_view name, std::string& out) {
  const JsonValue* member = object.Member(name);
  if (member == nullptr) return true;
  if (member->kind != JsonValue::Kind::kString) return false;
  out = member->text;
  return true;
}

// Whether `file` is empty or ends with a line break: a line torn by a crash does not, and the next
// record must then start a line of its own rather than be read as part of it.
bool EndsLine(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary | std::ios::ate);
  if (!in || in.tellg() <= 0) return true;
  in.seekg(-1, std::ios::end);
  return in.get() == '\n';
}

}  // namespace

std::string ChangeLogTime(std::chrono::system_clock::time_point now) {
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch());
  const auto seconds = std::chrono::floor<std::chrono::seconds>(ms);
  const std::chrono::sys_days day =
      std::chrono::floor<std::chrono::days>(std::chrono::sys_seconds(seconds));
  const std::chrono::year_month_day date(day);
  const std::chrono::hh_mm_ss time(seconds - day.time_since_epoch());
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d.%03dZ",
                static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                static_cast<unsigned>(date.day()), static_cast<int>(time.hours().count()),
                static_cast<int>(time.minutes().count()), static_cast<int>(time.seconds().count()),
                static_cast<int>(ms.count() % 1000));
  return text;
}

std::string ChangeRecordLine(const ChangeRecord& record) {
  std::string line =
      "{\"time\": " + JsonString(record.time) + ", \"user\": " + JsonString(record.user) +
      ", \"host\": " + JsonString(record.host) + ", \"program\": " + JsonString(record.program) +
      ", \"version\": " + JsonString(record.version) +
      ", \"command\": " + JsonString(record.command) +
      ", \"address\": " + JsonString(record.address);
  if (!record.mac.empty()) line += ", \"mac\": " + JsonString(record.mac);
  if (!record.model.empty()) line += ", \"model\": " + JsonBytes(record.model);
  line += ", \"result\": " + JsonString(record.result) + ", \"keys\": [";
  for (const ChangedKey& key : record.keys) {
    line += std::string(line.back() == '[' ? "" : ", ") + "{\"key\": " + JsonString(key.key) +
            ", \"label\": " + JsonString(key.label);
    // A password is logged as changed and nothing more: neither its text nor its scrambled form.
    line += key.password ? std::string(", \"changed\": true}")
                         : ", \"before\": " + JsonBytes(key.before) +
                               ", \"after\": " + JsonBytes(key.after) + "}";
  }
  return line + "]}";
}

std::optional<ChangeRecord> ParseChangeRecord(std::string_view line) {
  const std::optional<JsonValue> document = JsonReader(line).Document();
  if (!document || document->kind != JsonValue::Kind::kObject) return std::nullopt;
  ChangeRecord record;
  for (const auto& [name, field] : {std::pair{"time", &record.time},
                                    {"user", &record.user},
                                    {"host", &record.host},
                                    {"program", &record.program},
                                    {"version", &record.version},
                                    {"command", &record.command},
                                    {"address", &record.address},
                                    {"mac", &record.mac},
                                    {"model", &record.model},
                                    {"result", &record.result}}) {
    if (!StringMember(*document, name, *field)) return std::nullopt;
  }
  const JsonValue* keys = document->Member("keys");
  if (record.time.empty() || keys == nullptr || keys->kind != JsonValue::Kind::kArray)
    return std::nullopt;
  for (const JsonValue& item : keys->items) {
    if (item.kind != JsonValue::Kind::kObject) return std::nullopt;
    ChangedKey& key = record.keys.emplace_back();
    const JsonValue* changed = item.Member("changed");
    key.password = changed != nullptr && changed->kind == JsonValue::Kind::kBool;
    if (!StringMember(item, "key", key.key) || !StringMember(item, "label", key.label) ||
        !StringMember(item, "before", key.before) || !StringMember(item, "after", key.after))
      return std::nullopt;
  }
  return record;
}

std::filesystem::path RotatedChangeLog(const std::filesystem::path& file, int n) {
  std::filesystem::path rotated = file;
  return rotated.replace_extension("." + std::to_string(n) + file.extension().string());
}

std::vector<std::filesystem::path> ChangeLogFiles(const std::filesystem::path& file,
                                                  int keptFiles) {
  std::vector<std::filesystem::path> files;
  std::error_code error;
  for (int n = keptFiles; n >= 1; --n) {
    if (std::filesystem::exists(RotatedChangeLog(file, n), error))
      files.push_back(RotatedChangeLog(file, n));
  }
  if (std::filesystem::exists(file, error)) files.push_back(file);
  return files;
}

bool ChangeLog::Rotate(std::filesystem::path& dropped) {
  // Each file moves one place older; the oldest kept one is the only one that can go, and the
  // caller is told which.
  std::error_code error;
  const std::filesystem::path oldest = RotatedChangeLog(file_, keptFiles_);
  if (std::filesystem::exists(oldest, error)) {
    if (!std::filesystem::remove(oldest, error)) return false;
    dropped = oldest;
  }
  for (int n = keptFiles_ - 1; n >= 1; --n) {
    const std::filesystem::path from = RotatedChangeLog(file_, n);
    if (!std::filesystem::exists(from, error)) continue;
    std::filesystem::rename(from, RotatedChangeLog(file_, n + 1), error);
    if (error) return false;
  }
  std::filesystem::rename(file_, RotatedChangeLog(file_, 1), error);
  SyncFolder(file_.parent_path());
  return !error;
}

ChangeLogAppend ChangeLog::Append(const ChangeRecord& record, std::filesystem::path& dropped) {
  std::string line = ChangeRecordLine(record) + "\n";
  const std::lock_guard lock(mutex_);
  const std::filesystem::path folder = file_.parent_path();
  if (!MakeUserFolder(folder)) return ChangeLogAppend::kNotWritten;
  if (!OwnedByUserAlone(folder) || !OwnedByUserAlone(file_))
    return ChangeLogAppend::kFolderNotPrivate;
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(file_, error);
  if (!error && size > 0 && size + line.size() > maxBytes_ && !Rotate(dropped))
    return ChangeLogAppend::kNotWritten;
  if (!EndsLine(file_)) line.insert(0, "\n");
  return AppendWholeLine(file_, line) ? ChangeLogAppend::kAppended : ChangeLogAppend::kNotWritten;
}

}  // namespace calbrin
