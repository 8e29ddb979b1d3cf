// The plan of a site against what was found.
#include "commission/site_plan.h"

#include <algorithm>

#include "file/settings_file.h"
#include "pages/value_checks.h"
#include "settings/device_model.h"
#include "settings/messages.h"

namespace calbrin {
namespace {

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (const char c : text)
    quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

}  // namespace

std::vector<SiteMatch> MatchSite(const std::vector<SheetRow>& rows,
                                 const std::vector<SiteUnit>& units) {
  std::vector<SiteMatch> matches;
  std::vector<bool> named(units.size(), false);
  for (std::size_t r = 0; r < rows.size(); ++r) {
    SiteMatch match{static_cast<int>(r), -1};
    for (std::size_t u = 0; u < units.size(); ++u) {
      if (units[u].mac != rows[r].mac) continue;
      match.unit = static_cast<int>(u);
      named[u] = true;
    }
    matches.push_back(match);
  }
  for (std::size_t u = 0; u < units.size(); ++u) {
    if (!named[u]) matches.push_back({-1, static_cast<int>(u)});
  }
  return matches;
}

std::string AddressHeldBy(const SheetRow& row, const std::vector<SiteUnit>& units,
                          Language language) {
  for (const SiteUnit& unit : units) {
    if (unit.address == row.address && unit.mac != row.mac)
      return FormatMessageText(MessageId::kAddressHeldBy, language, {row.address, unit.mac});
  }
  return {};
}

DevicePlan PlanDevice(const SheetRow& row, const SettingsRecord& device, Language language) {
  DevicePlan plan;
  plan.reduced = SecondChannelReduced(ReadField(device, SettingKey::MODEL));
  plan.target = device;
  if (!row.templateFile.empty()) {
    const SettingsFileRead read = ReadSettingsFile(row.templateFile, plan.reduced, plan.target);
    if (read != SettingsFileRead::kLoaded) {
      const std::u8string name = row.templateFile.filename().u8string();
      plan.refusal = FormatMessageText(
          MessageId::kPlanTemplate, language,
          {std::string(name.begin(), name.end()), SettingsFileReadMessage(read, language)});
      return plan;
    }
  }
  for (const auto& [index, value] : row.settings) {
    if (const auto problem = CheckSettingValue(index, value, plan.reduced, language)) {
      plan.refusal = problem->Message();
      return plan;
    }
    SetField(plan.target, index, value);
  }
  SetField(plan.target, SettingKey::IP, row.address);
  SetField(plan.target, SettingKey::SUBM, row.mask);
  SetField(plan.target, SettingKey::GWAY, row.gateway);
  return plan;
}

std::vector<SettingDifference> Departures(const SettingsRecord& device,
                                          const SettingsRecord& target) {
  return DifferentSettings(NormalisedSettings(device), NormalisedSettings(target));
}

std::string ReportCsv(const std::vector<ReportLine>& lines) {
  std::string csv =
      "\xEF\xBB\xBFmac,name,model,version,previous address,address,result,message,time\r\n";
  for (const ReportLine& line : lines) {
    for (const std::string* field :
         {&line.mac, &line.name, &line.model, &line.version, &line.previousAddress, &line.address,
          &line.result, &line.message, &line.time}) {
      csv += CsvField(*field) + (field == &line.time ? "\r\n" : ",");
    }
  }
  return csv;
}

}  // namespace calbrin
