// LanPage: the settings page of one LAN channel.
#include "ui/editor/lan_page.h"

namespace calbrin {

// The page has no controls yet, so there is nothing to load.
void LanPage::Fill(const SettingsRecord& /*record*/) {}

}  // namespace calbrin
