// The serial port pages ("シリアルポート(1)", "シリアルポート(2)") without their windows: the
// choice lists, how a settings record fills the controls, and the enable rules.
#pragma once

#include <string>

#include "pages/control_states.h"
#include "pages/page_fields.h"

namespace calbrin {

struct SettingsRecord;

inline constexpr int kPackingTimeLow = PageFieldOf(PageKind::kSerial, IDC_PACKING_TIME).low;
inline constexpr int kPackingTimeHigh = PageFieldOf(PageKind::kSerial, IDC_PACKING_TIME).high;
inline constexpr int kDataCountLow = PageFieldOf(PageKind::kSerial, IDC_DATA_COUNT_VALUE).low;
inline constexpr int kDataCountHigh = PageFieldOf(PageKind::kSerial, IDC_DATA_COUNT_VALUE).high;

// Port 2 of a QV-57R has no RTS/CTS flow control but offers driver control.
struct SerialPortVariant {
  int port = 1;
  bool reduced = false;  // port 2 while the second channel is the reduced one

  bool DriverControlShown() const { return port == 2 && reduced; }
};

ChoiceItems BaudRateItems();
ChoiceItems DataBitsItems();
ChoiceItems ParityItems();
ChoiceItems StopBitsItems();
ChoiceItems FlowItems(bool reduced);
ChoiceItems CharacterCountItems();
ChoiceItems TrailingCountItems();

struct SerialPageState {
  SerialPortVariant variant;

  // Controls.
  std::string baudRate;             // 1010, the combo's text
  int dataBits = 0;                 // 1038
  int parity = 0;                   // 1039
  int stopBits = 0;                 // 1040
  int flow = 0;                     // 1041
  std::string xon;                  // 1042
  std::string xoff;                 // 1043
  bool driverOnSend = true;         // 1036 checked; 1037 otherwise
  bool packing = false;             // 1044
  std::string packingTime;          // 1045
  bool dataCount = false;           // 1048
  std::string dataCountValue;       // 1053
  bool specifiedCharacter = false;  // 1046
  int characterCount = 0;           // 1047
  std::string character1;           // 1050
  std::string character2;           // 1051
  int trailingCount = 0;            // 1052
};

// Loads every control from the keys of the page's port; the variant stays as it is.
void FillSerialPage(const SettingsRecord& record, SerialPageState& state);

// The flow rule and the packing rule with the data-count, specified-character and character-2
// rules it includes.
EnabledStates SerialPageEnabled(const SerialPageState& state);

}  // namespace calbrin
