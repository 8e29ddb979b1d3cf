// LanPage: the "LAN(1)" and "LAN(2)" tabs, the settings of one LAN channel.
#pragma once

#include "ui/editor/settings_page.h"

namespace calbrin {

class LanPage : public SettingsPage {
 public:
  // `channel` is 1 or 2, fixed for the page's life.
  explicit LanPage(int channel) : channel_(channel) {}

  void Fill(const SettingsRecord& record) override;

  int Channel() const { return channel_; }

 private:
  int channel_;
};

}  // namespace calbrin
