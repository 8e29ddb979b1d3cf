// Comma-separated records as a spreadsheet saves them (RFC 4180): fields in double quotes may
// hold commas, line breaks and "" for one quote; lines end in CRLF, LF or CR, the last one with
// or without its end.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace calbrin {

struct CsvRecord {
  int row = 0;  // as a spreadsheet numbers it: the first record is row 1, a blank line a row too
  std::vector<std::string> cells;
};

struct CsvRecords {
  std::vector<CsvRecord> records;  // every record that ended, blank ones too
  // Where a quote that never closed opened (0: none); it took the rest of the text with it.
  int openQuoteRow = 0;
  int openQuoteColumn = 0;  // 0-based
};

CsvRecords ReadCsvRecords(std::string_view text);

}  // namespace calbrin
