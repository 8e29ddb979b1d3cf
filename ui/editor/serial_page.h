// SerialPage: the "シリアルポート(1)" and "シリアルポート(2)" tabs, one serial port and its
// packing.
#pragma once

#include "ui/editor/settings_page.h"

namespace calbrin {

class SerialPage : public SettingsPage {
 public:
  // `port` is 1 or 2, fixed for the page's life.
  explicit SerialPage(int port) : port_(port) {}

  void Fill(const SettingsRecord& record) override;

  int Port() const { return port_; }

 private:
  int port_;
};

}  // namespace calbrin
