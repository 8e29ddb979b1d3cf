// Model identification from the MODEL code.
#include <gtest/gtest.h>

#include "settings/device_model.h"

namespace calbrin {
namespace {

TEST(DeviceModel, OnlyTheFirstTwoCharactersCount) {
  EXPECT_EQ(ModelOf("48"), DeviceModel::kQv48R2);
  EXPECT_EQ(ModelOf("48A"), DeviceModel::kQv48R2);
  EXPECT_EQ(ModelOf("57"), DeviceModel::kQv57R);
  EXPECT_EQ(ModelOf("4"), DeviceModel::kUnknown);
  EXPECT_EQ(ModelOf(""), DeviceModel::kUnknown);
  EXPECT_EQ(ModelNameText(ModelOf("57xx")), "QV-57R");
  EXPECT_EQ(ModelNameText(ModelOf("48")), "QV-48R2");
  EXPECT_EQ(ModelNameText(ModelOf("99")), "");
}

TEST(DeviceModel, ChannelTwoIsReducedForEveryCodeButFortyEight) {
  EXPECT_FALSE(SecondChannelReduced("48"));
  EXPECT_FALSE(SecondChannelReduced("48A"));
  EXPECT_TRUE(SecondChannelReduced("57"));
  EXPECT_TRUE(SecondChannelReduced("4"));
  EXPECT_TRUE(SecondChannelReduced(""));
  EXPECT_TRUE(SecondChannelReduced("84"));
}

}  // namespace
}  // namespace calbrin
