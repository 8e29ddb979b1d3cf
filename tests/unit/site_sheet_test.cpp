// The site sheet: what a sheet in either encoding reads into, and every kind of refusal with the
// row and column it names.
#include "commission/site_sheet.h"

#include <gtest/gtest.h>

#include "settings/setting_key.h"
#include "tests/support/file_bytes.h"

namespace calbrin {
namespace {

const std::string kHead = "mac,address,mask,gateway";
const std::string kDevice = "02-00-00-0A-00-01,192.0.2.10,255.255.255.0,192.0.2.1";
using Settings = std::vector<std::pair<int, std::string>>;

TEST(SiteSheet, RefusedSheetsListEveryProblemByRowAndColumn) {
  const test::ScratchFolder folder;
  std::filesystem::create_directory(folder / "folder.qvs");
  const struct {
    std::string bytes;
    std::vector<std::string> problems;  // each the start of one problem, in order
  } cases[] = {
      {kHead + "\n" + kDevice + "\n02:00:00:0a:00:01,192.0.2.11,255.255.255.0,192.0.2.1\n\n" +
           "02-00-00-0A-00-03,192.0.2.10,255.255.255.0,192.0.2.1\n",
       {"row 3, column mac: 02-00-00-0A-00-01 again (first in row 2)",
        "row 5, column address: 192.0.2.10 again (first in row 2)"}},
      {kHead + ",PORT1\n02-00-00-0A-00-1,192.0.2.300,255.0.255.0,,70000\n",
       {"row 2, column mac: 02-00-00-0A-00-1 is not a MAC",
        "row 2, column address: IP (IP address) = 192.0.2.300: an address: four numbers",
        "row 2, column mask: SUBM (Subnet mask) = 255.0.255.0: a subnet mask",
        "row 2, column gateway: empty",
        "row 2, column PORT1: PORT1 (Receive port) = 70000: a number from 0 to 65535"}},
      {"MAC,address,mask,Colour,IP,MODEL,PASS2,port1,PORT1\n" + kDevice,
       {"row 1, column Colour: neither a column of the sheet",
        "row 1, column IP: IP is not a key column", "row 1, column MODEL: the model is never set",
        "row 1, column PASS2: channel passwords",
        "row 1, column PORT1: a second such column (the first is column H)",
        "row 1, column gateway: missing: a sheet needs the columns mac, address, mask and "
        "gateway"}},
      {kHead + ",template,,template\n" + kDevice + ",missing.qvs,x\n" + kDevice + ",folder.qvs",
       {"row 1, column template: a second such column (the first is column E)",
        "row 2, column template: missing.qvs: no such file",
        "row 2, column F: a value in a column that row 1 does not name",
        "row 3, column mac: 02-00-00-0A-00-01 again", "row 3, column address: 192.0.2.10 again",
        "row 3, column template: folder.qvs: not a file"}},
      {kHead + ",name\r\n" + kDevice + ",\"Pump \"\"A\r\n",
       {"row 2, column name: a quote opens here"}},
      {kHead + ",name\n" + kDevice + ",\x81\x20\n", {"the sheet is neither UTF-8 nor"}},
      {kHead + "\n\n,,,\n", {"the sheet lists no device"}},
  };
  for (const auto& c : cases) {
    std::vector<SheetRow> rows;
    std::vector<std::string> problems;
    EXPECT_FALSE(ReadSiteSheet(test::WriteFileBytes(folder / "site.csv", c.bytes), rows, problems,
                               Language::kEnglish));
    EXPECT_TRUE(rows.empty());
    ASSERT_EQ(problems.size(), c.problems.size()) << testing::PrintToString(problems);
    for (std::size_t i = 0; i < problems.size(); ++i)
      EXPECT_TRUE(problems[i].starts_with(c.problems[i])) << problems[i];
  }
}

std::vector<SheetRow> ReadSheet(const test::ScratchFolder& folder, const std::string& bytes) {
  std::vector<SheetRow> rows;
  std::vector<std::string> problems;
  EXPECT_TRUE(ReadSiteSheet(test::WriteFileBytes(folder / "site.csv", bytes), rows, problems))
      << testing::PrintToString(problems);
  return rows;
}

TEST(SiteSheet, Utf8WithByteOrderMarkQuotedFieldsAndCrLf) {
  const test::ScratchFolder folder;
  test::WriteFileBytes(folder / "base.qvs", "MODEL\r\n48\r\n");
  const auto rows =
      ReadSheet(folder,
                "\xEF\xBB\xBFname, Mac ,address,mask,gateway,CBPS1,template,password-env,PORT2\r\n"
                "\"Line 1, east\r\nbay \"\"2\"\"\",02:00:00:0a:1b:ff,198.51.100.7,255.255.255.128,"
                "198.51.100.1,9600,base.qvs,SITE_PASSWORD,\r\n,,,\r\n"
                "搬送,02-00-00-0A-1B-01,198.51.100.8,255.255.255.128,198.51.100.1,,,,10001\r\n");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].row, 2);
  EXPECT_EQ(rows[0].name, "Line 1, east\r\nbay \"2\"");
  EXPECT_EQ(rows[0].mac + " " + rows[0].address + " " + rows[0].mask + " " + rows[0].gateway,
            "02-00-00-0A-1B-FF 198.51.100.7 255.255.255.128 198.51.100.1");
  EXPECT_EQ(rows[0].settings, (Settings{{Index(SettingKey::CBPS1), "9600"}}));
  EXPECT_EQ(rows[0].templateFile, folder / "base.qvs");
  EXPECT_EQ(rows[0].passwordEnvironment, "SITE_PASSWORD");
  EXPECT_EQ(rows[1].name + " in row " + std::to_string(rows[1].row), "搬送 in row 4");
  EXPECT_EQ(rows[1].settings, (Settings{{Index(SettingKey::PORT2), "10001"}}));
}

TEST(SiteSheet, CodePage932WithoutLastLineEnd) {
  const test::ScratchFolder folder;
  const auto rows = ReadSheet(folder, kHead + ",name\n" + kDevice +
                                          ",\x83\x76\x83\x89\x83\x93\x83\x67\x87\x40\xB1\x83\x5C");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].name, "プラント①ｱソ");
}

}  // namespace
}  // namespace calbrin
