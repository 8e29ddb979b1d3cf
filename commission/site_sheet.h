// The site sheet: a plan of a whole site as a spreadsheet saves it in CSV, one row per device
// with its MAC, the address it is to have, an optional settings file to start from and single
// settings over it. Read and checked whole before any device is touched.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "settings/language.h"

namespace calbrin {

// One device of the sheet.
struct SheetRow {
  int row = 0;      // as a spreadsheet numbers it: the column names are row 1
  std::string mac;  // in the search's form, "02-00-00-0A-1B-FF"
  std::string address, mask, gateway;
  std::filesystem::path templateFile;  // empty: none; else resolved against the sheet's folder
  std::string name;                    // UTF-8, only for reports
  std::string passwordEnvironment;     // the variable that holds the settings password, or empty
  std::vector<std::pair<int, std::string>> settings;  // key index and value, in column order
};

// Reads and checks the sheet at `sheet`: true with its devices in `rows` in sheet order, or false
// with every problem found in `problems` (`rows` then empty), each naming its row and column, in
// `language`.
bool ReadSiteSheet(const std::filesystem::path& sheet, std::vector<SheetRow>& rows,
                   std::vector<std::string>& problems, Language language = Language::kJapanese);

}  // namespace calbrin
