// Reading comma-separated records.
#include "commission/csv_records.h"

namespace calbrin {

CsvRecords ReadCsvRecords(std::string_view text) {
  CsvRecords result;
  CsvRecord record{1, {""}};
  std::size_t i = 0;
  const auto endRecord = [&] {
    const int next = record.row + 1;
    result.records.push_back(std::move(record));
    record = CsvRecord{next, {""}};
  };
  while (i < text.size()) {
    const char c = text[i];
    std::string& cell = record.cells.back();
    if (c == '"' && cell.empty()) {
      // A quoted field: up to the quote that is not doubled.
      const int column = static_cast<int>(record.cells.size()) - 1;
      ++i;
      bool closed = false;
      while (i < text.size()) {
        if (text[i] == '"') {
          if (i + 1 < text.size() && text[i + 1] == '"') {
            cell += '"';
            i += 2;
            continue;
          }
          ++i;
          closed = true;
          break;
        }
        cell += text[i++];
      }
      if (!closed) {
        result.openQuoteRow = record.row;
        result.openQuoteColumn = column;
        return result;
      }
    } else if (c == ',') {
      record.cells.emplace_back();
      ++i;
    } else if (c == '\r' || c == '\n') {
      i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
      endRecord();
    } else {
      // Text after a closing quote, or a quote inside an unquoted field, is kept as it stands,
      // as spreadsheets read it.
      cell += c;
      ++i;
    }
  }
  // The last line without its end.
  if (record.cells.size() > 1 || !record.cells.front().empty()) endRecord();
  return result;
}

}  // namespace calbrin
