// SerialPage: one serial port's settings on their controls.
#include "ui/editor/serial_page.h"

#include <array>

#include "resources/resource.h"
#include "ui/controls/dialog_controls.h"
#include "ui/controls/edit_filters.h"

namespace calbrin {
namespace {

constexpr int kTextRead = 64;
constexpr std::array kDriverControls{IDC_DRIVER_LABEL, IDC_DRIVER_ON_SEND, IDC_DRIVER_ALWAYS};

void ShowDriverControls(HWND page, bool shown) {
  for (const int id : kDriverControls)
    ShowControl(page, id, shown);
}

}  // namespace

void SerialPage::OnInit(const SettingsRecord& record) {
  HWND page = Window();
  const SerialPortVariant& variant = state_.variant;
  ShowDriverControls(page, false);

  FillList(IDC_BAUD_RATE, BaudRateItems());
  FillList(IDC_DATA_BITS, DataBitsItems());
  FillList(IDC_PARITY, ParityItems());
  FillList(IDC_STOP_BITS, StopBitsItems());
  FillList(IDC_FLOW, FlowItems(variant.reduced));
  FillList(IDC_CHAR_COUNT, CharacterCountItems());
  FillList(IDC_TRAILING_COUNT, TrailingCountItems());

  Fill(record);
  AttachFilterBaudDigits(GetDlgItem(page, IDC_BAUD_RATE));
}

void SerialPage::Fill(const SettingsRecord& record) {
  if (state_.variant.port == 2) ShowDriverControls(Window(), state_.variant.DriverControlShown());
  FillSerialPage(record, state_);
  Show(state_);
}

SerialPageState SerialPage::Read() const {
  HWND page = Window();
  SerialPageState state = state_;
  state.baudRate = ControlText(page, IDC_BAUD_RATE, kTextRead);
  state.dataBits = SelectedItem(page, IDC_DATA_BITS);
  state.parity = SelectedItem(page, IDC_PARITY);
  state.stopBits = SelectedItem(page, IDC_STOP_BITS);
  state.flow = SelectedItem(page, IDC_FLOW);
  state.xon = ControlText(page, IDC_XON, kTextRead);
  state.xoff = ControlText(page, IDC_XOFF, kTextRead);
  state.driverOnSend = IsChecked(page, IDC_DRIVER_ON_SEND);
  state.packing = IsChecked(page, IDC_PACKING);
  state.packingTime = ControlText(page, IDC_PACKING_TIME, kTextRead);
  state.dataCount = IsChecked(page, IDC_DATA_COUNT);
  state.dataCountValue = ControlText(page, IDC_DATA_COUNT_VALUE, kTextRead);
  state.specifiedCharacter = IsChecked(page, IDC_SPECIFIED_CHAR);
  state.characterCount = SelectedItem(page, IDC_CHAR_COUNT);
  state.character1 = ControlText(page, IDC_CHAR_1, kTextRead);
  state.character2 = ControlText(page, IDC_CHAR_2, kTextRead);
  state.trailingCount = SelectedItem(page, IDC_TRAILING_COUNT);
  return state;
}

void SerialPage::Show(const SerialPageState& state) {
  HWND page = Window();
  CheckRadioButton(page, IDC_DRIVER_ON_SEND, IDC_DRIVER_ALWAYS,
                   state.driverOnSend ? IDC_DRIVER_ON_SEND : IDC_DRIVER_ALWAYS);
  SetControlText(page, IDC_BAUD_RATE, state.baudRate);
  SelectItem(page, IDC_DATA_BITS, state.dataBits);
  SelectItem(page, IDC_PARITY, state.parity);
  SelectItem(page, IDC_STOP_BITS, state.stopBits);
  SelectItem(page, IDC_FLOW, state.flow);
  SetControlText(page, IDC_XON, state.xon);
  SetControlText(page, IDC_XOFF, state.xoff);
  SetChecked(page, IDC_PACKING, state.packing);
  SetControlText(page, IDC_PACKING_TIME, state.packingTime);
  SetChecked(page, IDC_DATA_COUNT, state.dataCount);
  SetControlText(page, IDC_DATA_COUNT_VALUE, state.dataCountValue);
  SetChecked(page, IDC_SPECIFIED_CHAR, state.specifiedCharacter);
  SelectItem(page, IDC_CHAR_COUNT, state.characterCount);
  SetControlText(page, IDC_CHAR_1, state.character1);
  SetControlText(page, IDC_CHAR_2, state.character2);
  SelectItem(page, IDC_TRAILING_COUNT, state.trailingCount);
  ShowEnabled();
}

void SerialPage::ShowEnabled() {
  ApplyEnabled(Window(), SerialPageEnabled(state_));
}

bool SerialPage::OnCommand(int id, int code) {
  switch (id) {
    case IDC_FLOW:
    case IDC_CHAR_COUNT:
      if (code != CBN_SELCHANGE) return false;
      state_ = Read();
      ShowEnabled();
      return true;
    case IDC_PACKING:
    case IDC_DATA_COUNT:
    case IDC_SPECIFIED_CHAR:
      state_ = Read();
      ShowEnabled();
      return true;
    default:
      return false;
  }
}

}  // namespace calbrin
