// A site's plan without a network: rows matched to found devices, the settings each device is to
// hold and the refusals that only its model can give, and the report a spreadsheet opens.
#include "commission/site_plan.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "sim/device_settings.h"
#include "tests/support/sim_settings.h"

namespace calbrin {
namespace {

TEST(SitePlan, RowsAreMatchedByMacThenTheExtraDevicesFollow) {
  std::vector<SheetRow> rows(2);
  rows[0].mac = "02-00-00-0A-00-02";
  rows[1].mac = "02-00-00-0A-00-09";
  rows[1].address = "192.0.2.5";
  const std::vector<SiteUnit> units{{"02-00-00-0A-00-01", "192.0.2.5", "QV-48R2", "1.00"},
                                    {"02-00-00-0A-00-02", "192.0.2.254", "QV-57R", "1.00"}};
  const std::vector<SiteMatch> matches = MatchSite(rows, units);
  ASSERT_EQ(matches.size(), 3u);
  EXPECT_EQ(std::pair(matches[0].row, matches[0].unit), std::pair(0, 1));
  EXPECT_EQ(std::pair(matches[1].row, matches[1].unit), std::pair(1, -1));
  EXPECT_EQ(std::pair(matches[2].row, matches[2].unit), std::pair(-1, 0));
  EXPECT_EQ(AddressHeldBy(rows[1], units, Language::kEnglish),
            "192.0.2.5 is held by 02-00-00-0A-00-01");
  EXPECT_EQ(AddressHeldBy(rows[0], units), "");
}

TEST(SitePlan, TheDeviceGetsItsRowOverItsOwnSettingsAndItsModelRefusesWhatItLacks) {
  const SettingsRecord device = ToRecord(sim::DefaultSettings("57", "192.0.2.254"));
  SheetRow row;
  row.mac = "02-00-00-0A-00-01";
  row.address = "192.0.2.41";
  row.mask = "255.255.255.0";
  row.gateway = "192.0.2.1";
  row.settings = {{Index(SettingKey::PORT1), "5001"}};
  DevicePlan plan = PlanDevice(row, device);
  EXPECT_EQ(plan.refusal, "");
  EXPECT_TRUE(plan.reduced);
  const std::vector<SettingDifference> changes = Departures(device, plan.target);
  ASSERT_EQ(changes.size(), 4u);  // the address, mask, gateway and port
  EXPECT_TRUE(Departures(plan.target, plan.target).empty());
  // Flow control Xon/Xoff-and-RTS/CTS (1) is one that channel 2 of a QV-57R does not offer.
  row.settings = {{Index(SettingKey::CFLOW2), "1"}};
  EXPECT_NE(PlanDevice(row, device).refusal.find("CFLOW2"), std::string::npos);
  row.settings.clear();
  row.templateFile = std::filesystem::path("no-such-template.qvs");
  EXPECT_NE(
      PlanDevice(row, device, Language::kEnglish).refusal.find("template no-such-template.qvs: "),
      std::string::npos);
}

TEST(SitePlan, TheReportQuotesWhatASpreadsheetWouldSplit) {
  const std::string csv =
      ReportCsv({{"02-00-00-0A-00-01", "ライン \"A\", 1", "QV-48R2", "1.00", "192.0.2.254",
                  "192.0.2.41", "commissioned", "", "2026-12-07T09:00:00Z"}});
  EXPECT_EQ(csv,
            "\xEF\xBB\xBFmac,name,model,version,previous address,address,result,message,time\r\n"
            "02-00-00-0A-00-01,\"ライン \"\"A\"\", 1\",QV-48R2,1.00,192.0.2.254,192.0.2.41,"
            "commissioned,,2026-12-07T09:00:00Z\r\n");
}

}  // namespace
}  // namespace calbrin
