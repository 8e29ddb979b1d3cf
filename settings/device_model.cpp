// Model identification from the MODEL code.
#include "settings/device_model.h"

namespace calbrin {

DeviceModel ModelOf(std::string_view modelCode) {
  const std::string_view prefix = modelCode.substr(0, 2);
  if (prefix == "48") return DeviceModel::kQv48R2;
  if (prefix == "57") return DeviceModel::kQv57R;
  return DeviceModel::kUnknown;
}

std::string_view ModelNameText(DeviceModel model) {
  switch (model) {
    case DeviceModel::kQv48R2:
      return "QV-48R2";
    case DeviceModel::kQv57R:
      return "QV-57R";
    case DeviceModel::kUnknown:
      break;
  }
  return "";
}

bool SecondChannelReduced(std::string_view modelCode) {
  return ModelOf(modelCode) != DeviceModel::kQv48R2;
}

}  // namespace calbrin
