// LanPage: the "LAN(1)" and "LAN(2)" tabs, the settings of one LAN channel.
#pragma once

#include "pages/lan_page_state.h"
#include "ui/editor/settings_page.h"

namespace calbrin {

class LanPage : public SettingsPage {
 public:
  // `channel` is 1 or 2, fixed for the page's life. Channel 2 offers the reduced choices when
  // the open device's second channel is the reduced one.
  LanPage(int channel, bool secondChannelReduced) : SettingsPage(PageKind::kLan) {
    state_.channel = channel;
    state_.reduced = channel == 2 && secondChannelReduced;
  }

  void Fill(const SettingsRecord& record) override;
  // What the controls hold now, with the connection state.
  LanPageState Read() const;

 protected:
  void OnInit(const SettingsRecord& record) override;
  bool OnCommand(int id, int code) override;

 private:
  void Show(const LanPageState& state);
  // Puts the protocol, the mode radio buttons, 1101 and the enabled states of `state_` on the
  // page.
  void ShowChoices();

  LanPageState state_;
};

}  // namespace calbrin
