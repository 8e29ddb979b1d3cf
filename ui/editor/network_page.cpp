// NetworkPage: the device-wide settings page.
#include "ui/editor/network_page.h"

namespace calbrin {

// The page has no controls yet, so there is nothing to load.
void NetworkPage::Fill(const SettingsRecord& /*record*/) {}

}  // namespace calbrin
