// SerialPage: the settings page of one serial port.
#include "ui/editor/serial_page.h"

namespace calbrin {

// The page has no controls yet, so there is nothing to load.
void SerialPage::Fill(const SettingsRecord& /*record*/) {}

}  // namespace calbrin
