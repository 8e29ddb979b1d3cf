// NetworkPage: the "共通" tab, the device-wide settings.
#pragma once

#include "pages/network_page_state.h"
#include "ui/editor/settings_page.h"

namespace calbrin {

class NetworkPage : public SettingsPage {
 public:
  NetworkPage() : SettingsPage(PageKind::kNetwork) {}

  void Fill(const SettingsRecord& record) override;
  // What the controls hold now, with the remembered speed and duplex choice.
  NetworkPageState Read() const;

 protected:
  bool OnCommand(int id, int code) override;

 private:
  // Puts every control of `state` on the page.
  void Show(const NetworkPageState& state);
  // Puts the check boxes, radio buttons and enabled states of `state_` on the page.
  void ShowChoices();

  NetworkPageState state_;
};

}  // namespace calbrin
