// Reading a site sheet: its bytes into text, its text into records, its first record into
// columns, every further one into a device, and every problem on the way into one list.
#include "commission/site_sheet.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string_view>
#include <system_error>

#include "commission/csv_records.h"
#include "commission/sheet_encoding.h"
#include "pages/value_checks.h"
#include "settings/mac_address.h"
#include "settings/messages.h"
#include "settings/setting_key.h"

namespace calbrin {
namespace {

namespace fs = std::filesystem;

enum class Column {
  kMac,
  kAddress,
  kMask,
  kGateway,
  kTemplate,
  kName,
  kPasswordEnvironment,
  kKey,
  kUnnamed,  // no name in row 1: must stay empty
  kRefused,  // reported at row 1; its cells are not read
};

struct NamedColumn {
  std::string_view name;
  Column kind;
};
constexpr std::array<NamedColumn, 7> kNamedColumns{{
    {"mac", Column::kMac},
    {"address", Column::kAddress},
    {"mask", Column::kMask},
    {"gateway", Column::kGateway},
    {"template", Column::kTemplate},
    {"name", Column::kName},
    {"password-env", Column::kPasswordEnvironment},
}};

struct ColumnInfo {
  Column kind = Column::kUnnamed;
  int key = -1;       // for kKey, and the key whose checks an address column's values take
  std::string title;  // as row 1 names it, or its letters when it has no name
};

// "A" to "Z", then "AA", as a spreadsheet labels columns; `column` is 0-based.
std::string ColumnLetters(std::size_t column) {
  std::string letters;
  for (std::size_t n = column + 1; n > 0; n = (n - 1) / 26)
    letters.insert(letters.begin(), static_cast<char>('A' + (n - 1) % 26));
  return letters;
}

bool SameLetters(std::string_view a, std::string_view b) {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [&](char x, char y) { return lower(x) == lower(y); });
}

std::string_view TrimBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The problems found so far, each placed at its row and column in the sheet's language.
class ProblemList {
 public:
  ProblemList(std::vector<std::string>& problems, Language language)
      : problems_(problems), language_(language) {}
  // The text of `id` with `args`.
  std::string Text(MessageId id, std::initializer_list<std::string_view> args = {}) const {
    return FormatMessageText(id, language_, args);
  }
  void Add(int row, std::string_view column, std::string_view text) {
    problems_.push_back(Text(MessageId::kSheetRowColumn, {std::to_string(row), column, text}));
  }

 private:
  std::vector<std::string>& problems_;
  Language language_;
};

// Why the device key `index` cannot be a column, or nothing when it can.
std::optional<std::string> RefusedKeyColumn(int index, const ProblemList& problems) {
  const auto key = static_cast<SettingKey>(index);
  if (key == SettingKey::MODEL) return problems.Text(MessageId::kSheetModelColumn);
  if (key == SettingKey::IP || key == SettingKey::SUBM || key == SettingKey::GWAY)
    return problems.Text(MessageId::kSheetAddressKeyColumn, {KeyText(index)});
  if (key == SettingKey::PASS1 || key == SettingKey::PASS2)
    return problems.Text(MessageId::kSheetPasswordColumn);
  return std::nullopt;
}

std::vector<ColumnInfo> ReadColumns(const CsvRecord& header, ProblemList& problems) {
  std::vector<ColumnInfo> columns;
  std::map<std::string, std::size_t> seen;  // a known column's or key's name, and where it is
  for (std::size_t c = 0; c < header.cells.size(); ++c) {
    ColumnInfo column;
    column.title = TrimBlanks(header.cells[c]);
    std::string canonical;
    for (const NamedColumn& named : kNamedColumns) {
      if (SameLetters(column.title, named.name)) column.kind = named.kind, canonical = named.name;
    }
    for (int k = 0; k < kSettingKeyCount && canonical.empty(); ++k) {
      if (SameLetters(column.title, KeyText(k))) column.kind = Column::kKey, column.key = k;
    }
    if (column.kind == Column::kKey) canonical = KeyText(column.key);
    if (column.title.empty()) {
      column.title = ColumnLetters(c);
    } else if (canonical.empty()) {
      column.kind = Column::kRefused;
      problems.Add(header.row, column.title, problems.Text(MessageId::kSheetUnknownColumn));
    } else if (const auto refusal = column.kind == Column::kKey
                                        ? RefusedKeyColumn(column.key, problems)
                                        : std::nullopt) {
      column.kind = Column::kRefused;
      problems.Add(header.row, column.title, *refusal);
    } else if (const auto [first, added] = seen.emplace(canonical, c); !added) {
      column.kind = Column::kRefused;
      problems.Add(header.row, column.title,
                   problems.Text(MessageId::kSheetSecondColumn, {ColumnLetters(first->second)}));
    }
    columns.push_back(column);
  }
  for (const std::string_view required : {"mac", "address", "mask", "gateway"}) {
    if (!seen.contains(std::string(required)))
      problems.Add(header.row, required,
                   problems.Text(MessageId::kSheetColumnMissing,
                                 {problems.Text(MessageId::kSheetColumnsNeeded)}));
  }
  // The address columns take the checks of the keys they set.
  for (ColumnInfo& column : columns) {
    if (column.kind == Column::kAddress) column.key = Index(SettingKey::IP);
    if (column.kind == Column::kMask) column.key = Index(SettingKey::SUBM);
    if (column.kind == Column::kGateway) column.key = Index(SettingKey::GWAY);
  }
  return columns;
}

// What keeps `file` from being read, or nothing.
std::optional<MessageId> FileProblem(const fs::path& file) {
  std::error_code error;
  const fs::file_status status = fs::status(file, error);
  if (!fs::exists(status)) return MessageId::kSheetFileMissing;
  if (!fs::is_regular_file(status)) return MessageId::kSheetNotAFile;
  if (!std::ifstream(file, std::ios::binary)) return MessageId::kSheetFileUnreadable;
  return std::nullopt;
}

// Reads the whole of `file` into `bytes`; what kept it from being read, or nothing.
std::optional<MessageId> ReadBytes(const fs::path& file, std::string& bytes) {
  if (const auto problem = FileProblem(file)) return problem;
  try {
    std::ifstream stream(file, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(stream), {});
  } catch (const std::ios_base::failure&) {
    // The stream buffer throws a read error that a read cannot report otherwise.
    return MessageId::kSheetReadFailed;
  }
  return std::nullopt;
}

// The row of every MAC and address seen so far, so that a repeated one names both rows.
struct SeenValues {
  std::map<std::string, int> macs, addresses;
};

// Reads one device's record into `row`; problems to `problems`.
void ReadDevice(const CsvRecord& record, const std::vector<ColumnInfo>& columns,
                const fs::path& folder, Language language, SeenValues& seen, SheetRow& row,
                ProblemList& problems) {
  row.row = record.row;
  const auto once = [&](std::map<std::string, int>& firstRows, std::string_view title,
                        const std::string& value) {
    const auto [first, added] = firstRows.emplace(value, record.row);
    if (!added)
      problems.Add(
          record.row, title,
          problems.Text(MessageId::kSheetRepeated, {value, std::to_string(first->second)}));
  };
  for (std::size_t c = 0; c < std::max(columns.size(), record.cells.size()); ++c) {
    const ColumnInfo column =
        c < columns.size() ? columns[c] : ColumnInfo{.title = ColumnLetters(c)};
    const std::string value = c < record.cells.size() ? record.cells[c] : "";
    const bool required = column.kind == Column::kMac || column.kind == Column::kAddress ||
                          column.kind == Column::kMask || column.kind == Column::kGateway;
    if (value.empty()) {
      if (required)
        problems.Add(record.row, column.title, problems.Text(MessageId::kSheetCellEmpty));
      continue;
    }
    if (column.key >= 0) {
      if (const auto problem = CheckSettingValue(column.key, value, false, language)) {
        problems.Add(record.row, column.title, problem->Message());
        continue;
      }
    }
    switch (column.kind) {
      case Column::kMac:
        if (const auto mac = ParseMac(value)) {
          row.mac = MacText(*mac);
          once(seen.macs, column.title, row.mac);
        } else {
          problems.Add(record.row, column.title, problems.Text(MessageId::kSheetNotMac, {value}));
        }
        break;
      case Column::kAddress:
        row.address = value;
        once(seen.addresses, column.title, value);
        break;
      case Column::kMask:
        row.mask = value;
        break;
      case Column::kGateway:
        row.gateway = value;
        break;
      case Column::kTemplate:
        // Built from the text's characters: a path from a plain string would read its bytes in
        // Windows' ANSI code page.
        row.templateFile = folder / fs::path(std::u8string(value.begin(), value.end()));
        if (const auto problem = FileProblem(row.templateFile))
          problems.Add(record.row, column.title,
                       value + ": " + std::string(MessageText(*problem, language)));
        break;
      case Column::kName:
        row.name = value;
        break;
      case Column::kPasswordEnvironment:
        row.passwordEnvironment = value;
        break;
      case Column::kKey:
        row.settings.emplace_back(column.key, value);
        break;
      case Column::kUnnamed:
        problems.Add(record.row, column.title, problems.Text(MessageId::kSheetUnnamedColumnValue));
        break;
      case Column::kRefused:
        break;
    }
  }
}

bool Blank(const CsvRecord& record) {
  return std::all_of(record.cells.begin(), record.cells.end(),
                     [](const std::string& cell) { return cell.empty(); });
}

}  // namespace

bool ReadSiteSheet(const fs::path& sheet, std::vector<SheetRow>& rows,
                   std::vector<std::string>& problems, Language language) {
  rows.clear();
  problems.clear();
  std::string bytes;
  if (const auto problem = ReadBytes(sheet, bytes)) {
    problems.push_back(FormatMessageText(MessageId::kSheetUnreadable, language,
                                         {MessageText(*problem, language)}));
    return false;
  }
  const std::optional<std::string> text = SheetTextAsUtf8(bytes);
  if (!text) {
    problems.push_back(std::string(MessageText(MessageId::kSheetEncoding, language)));
    return false;
  }
  ProblemList list(problems, language);
  const CsvRecords csv = ReadCsvRecords(*text);
  std::vector<ColumnInfo> columns;
  if (!csv.records.empty()) columns = ReadColumns(csv.records.front(), list);
  const fs::path folder = sheet.parent_path();
  SeenValues seen;
  for (std::size_t r = 1; r < csv.records.size(); ++r) {
    if (Blank(csv.records[r])) continue;
    ReadDevice(csv.records[r], columns, folder, language, seen, rows.emplace_back(), list);
  }
  // Last, as it lies after every record read.
  if (csv.openQuoteRow > 0) {
    const auto column = static_cast<std::size_t>(csv.openQuoteColumn);
    list.Add(csv.openQuoteRow,
             column < columns.size() ? columns[column].title : ColumnLetters(column),
             list.Text(MessageId::kSheetOpenQuote));
  } else if (csv.records.empty()) {
    problems.push_back(
        list.Text(MessageId::kSheetEmpty, {list.Text(MessageId::kSheetColumnsNeeded)}));
  }
  if (rows.empty() && problems.empty()) problems.push_back(list.Text(MessageId::kSheetNoDevice));
  if (problems.empty()) return true;
  rows.clear();
  return false;
}

}  // namespace calbrin
