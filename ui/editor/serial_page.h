// SerialPage: the "シリアルポート(1)" and "シリアルポート(2)" tabs, one serial port and its
// packing.
#pragma once

#include "pages/serial_page_state.h"
#include "ui/editor/settings_page.h"

namespace calbrin {

class SerialPage : public SettingsPage {
 public:
  // `port` is 1 or 2, fixed for the page's life. Port 2 offers the reduced flow control and the
  // driver control when the open device's second channel is the reduced one.
  SerialPage(int port, bool secondChannelReduced) : SettingsPage(PageKind::kSerial) {
    state_.variant.port = port;
    state_.variant.reduced = port == 2 && secondChannelReduced;
  }

  void Fill(const SettingsRecord& record) override;
  // What the controls hold now.
  SerialPageState Read() const;

 protected:
  void OnInit(const SettingsRecord& record) override;
  bool OnCommand(int id, int code) override;

 private:
  void Show(const SerialPageState& state);
  void ShowEnabled();

  SerialPageState state_;
};

}  // namespace calbrin
