// A site's plan held against the devices that a search found: which row is which device, what
// each device is to hold, and how it departs from that. No network here: the command line (and
// later the windows) search, read and write, and ask this module what to do and whether it held.
#pragma once

#include <string>
#include <vector>

#include "commission/site_sheet.h"
#include "pages/settings_view.h"
#include "settings/settings_record.h"

namespace calbrin {

// A device as a search found it.
struct SiteUnit {
  std::string mac;  // in the search's form, 02-00-00-0A-1B-FF
  std::string address;
  std::string model;  // "QV-48R2" or "QV-57R"
  std::string version;
};

// One row and the device it names, or a device that no row names.
struct SiteMatch {
  int row = -1;   // index into the rows; -1: an extra device
  int unit = -1;  // index into the units; -1: no device answered with the row's MAC
};

// Every row in the sheet's order (found or missing), then every device that no row names, in
// the search's order.
std::vector<SiteMatch> MatchSite(const std::vector<SheetRow>& rows,
                                 const std::vector<SiteUnit>& units);

// Why the row's device must not take its planned address: another device of the search answers
// there ("192.0.2.40 is held by 02-00-00-0A-00-07" in `language`); empty when none does.
std::string AddressHeldBy(const SheetRow& row, const std::vector<SiteUnit>& units,
                          Language language = Language::kJapanese);

struct DevicePlan {
  SettingsRecord target;  // what the device is to hold
  bool reduced = false;   // the device's reduced second channel
  std::string refusal;    // not to be written, for this reason
};

// What the device that holds `device` now is to hold: the row's template (or its own settings),
// the row's key values over it, and the row's address, mask and gateway. A template of the other
// model, or a key value that the device's model refuses, refuses the row, with the file's message
// and the setting's label in `language`.
DevicePlan PlanDevice(const SheetRow& row, const SettingsRecord& device,
                      Language language = Language::kJapanese);

// The settings in which `device` departs from its plan, as the pages show them (empty: at its
// plan). Passwords count as set or not, as the windows' write leaves them.
std::vector<SettingDifference> Departures(const SettingsRecord& device,
                                          const SettingsRecord& target);

// One line of the handover report.
struct ReportLine {
  std::string mac, name, model, version, previousAddress, address, result, message, time;
};

// The report as a CSV file that a spreadsheet opens: UTF-8 with a byte order mark, CRLF, a
// header row, every field quoted where it holds a comma, a quote or a line end.
std::string ReportCsv(const std::vector<ReportLine>& lines);

}  // namespace calbrin
