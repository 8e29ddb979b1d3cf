// NetworkPage: the "共通" tab, the device-wide settings.
#pragma once

#include "ui/editor/settings_page.h"

namespace calbrin {

class NetworkPage : public SettingsPage {
 public:
  void Fill(const SettingsRecord& record) override;
};

}  // namespace calbrin
