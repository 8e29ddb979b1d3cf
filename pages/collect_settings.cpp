// Collecting the settings pages into a record.
#include "pages/collect_settings.h"

#include <optional>

#include "pages/edit_rules.h"
#include "pages/page_fields.h"
#include "settings/messages.h"
#include "settings/password_scrambling.h"

namespace calbrin {
namespace {

// The device's word for "no password": a write that carries it removes the channel's password.
constexpr std::string_view kRemovedPassword = "D E L";

const PageField& LanField(int control) {
  return PageFieldOf(PageKind::kLan, control);
}
const PageField& SerialField(int control) {
  return PageFieldOf(PageKind::kSerial, control);
}

struct CheckFailure {
  std::string message;
  int tab;
};

// Writes the field of `key` for the page's channel or port.
class ChannelFields {
 public:
  ChannelFields(SettingsRecord& record, int channel) : record_(record), channel_(channel) {}

  void Set(SettingKey channelOneKey, std::string_view text) {
    SetField(record_, ChannelKey(channelOneKey, channel_), text);
  }
  // The code that the selected `item` of a choice control stores; a selection that is none of
  // the list's items leaves the field empty.
  void SetChoice(const PageField& field, bool reduced, int item) {
    const std::string_view code = CodeOfItem(field, reduced, item);
    if (!code.empty()) Set(*field.key, code);
  }
  // A hexadecimal character entry, stored as its decimal value.
  void SetCharacter(SettingKey channelOneKey, std::string_view entry) {
    Set(channelOneKey, std::to_string(HexEntryValue(entry)));
  }
  void SetFlag(SettingKey channelOneKey, bool on) { Set(channelOneKey, on ? "1" : "0"); }

 private:
  SettingsRecord& record_;
  int channel_;
};

void CollectNetwork(const NetworkPageState& page, SettingsRecord& record) {
  SetField(record, SettingKey::IP, page.autoAddress ? "0.0.0.0" : page.address);
  SetField(record, SettingKey::SUBM, page.subnetMask);
  SetField(record, SettingKey::GWAY, page.gateway);
  std::string negotiation = "7";
  if (!page.autoNegotiation) {
    negotiation = std::string(1, static_cast<char>('0' + (page.speed100Checked ? 2 : 0) +
                                                   (page.fullDuplexChecked ? 1 : 0)));
  }
  SetField(record, SettingKey::NEGOS, negotiation);
  SetField(record, SettingKey::MSS, page.mss);
  SetField(record, SettingKey::KEEP_A, page.keepAlive);
}

std::string ChannelName(int channel) {
  return "LAN(" + std::to_string(channel) + ")";
}

std::optional<CheckFailure> CollectLan(const LanPageState& page, bool forFile, Language language,
                                       SettingsRecord& out) {
  const int channel = page.channel;
  const int tab = channel == 1 ? kLan1Tab : kLan2Tab;
  const bool reduced = page.reduced;
  ChannelFields fields(out, channel);

  fields.SetChoice(LanField(IDC_PROTOCOL), false, page.protocol);
  fields.Set(SettingKey::PORT1, page.receivePort);
  const std::string_view port = ReadField(out, ChannelKey(SettingKey::PORT1, channel));
  const long long portNumber = ReadDecimalNumber(port);
  if (ReservedReceivePort(portNumber)) {
    return CheckFailure{FormatMessageText(MessageId::kReceivePortReserved, language,
                                          {ChannelName(channel), std::to_string(portNumber)}),
                        tab};
  }
  if (channel == 2 && port == ReadField(out, SettingKey::PORT1)) {
    return CheckFailure{std::string(MessageText(MessageId::kReceivePortsEqual, language)), tab};
  }

  // The remote address and port are one setting: the UDP destination or the TCP client's peer.
  if (page.protocol == kUdpItem) {
    fields.Set(SettingKey::HIP1, page.udpAddress);
    fields.Set(SettingKey::HPORT1, page.udpPort);
  } else if (page.protocol == kTcpItem) {
    fields.Set(SettingKey::HIP1, page.clientAddress);
    fields.Set(SettingKey::HPORT1, page.clientPort);
  }
  if (page.clientMode) {
    fields.Set(SettingKey::SMODE1, "0");
    fields.SetChoice(LanField(IDC_CLIENT_CONDITION), reduced, page.clientCondition);
  } else {
    fields.SetChoice(LanField(IDC_SERVER_CONDITION), reduced, page.serverCondition);
    fields.Set(SettingKey::CMODE1, "0");
  }
  fields.SetCharacter(SettingKey::CCHAR1, page.clientCharacter);
  fields.SetFlag(SettingKey::SPASS1, page.connection.serverPassword);
  fields.SetFlag(SettingKey::CPASS1, page.connection.clientPassword);

  std::string_view password = page.password;
  if (password.empty()) {
    if (LanPasswordRequired(page.connection)) {
      return CheckFailure{
          FormatMessageText(MessageId::kLanPasswordMissing, language, {ChannelName(channel)}), tab};
    }
    if (!forFile) password = kRemovedPassword;
  }
  ScrambledPassword scrambled;
  ScramblePassword(password, kStoredPasswordShift, scrambled);
  fields.Set(SettingKey::PASS1, scrambled.Scrambled());

  fields.SetChoice(LanField(IDC_DISCONNECT_CONDITION), reduced, page.disconnectCondition);
  fields.Set(SettingKey::DTIME1, page.idleTime);
  fields.SetCharacter(SettingKey::DCHAR1, page.disconnectCharacter);
  fields.SetFlag(SettingKey::FLUSH1, page.flush);
  return std::nullopt;
}

void CollectSerial(const SerialPageState& page, SettingsRecord& out) {
  ChannelFields fields(out, page.variant.port);
  // Port 1 has no driver control; port 2 keeps its buttons' choice even while they are hidden.
  fields.Set(SettingKey::CDRV1, page.variant.port == 2 && page.driverOnSend ? "1" : "0");
  const auto baudChars = static_cast<std::size_t>(SerialField(IDC_BAUD_RATE).editLimit);
  fields.Set(SettingKey::CBPS1, std::string_view(page.baudRate).substr(0, baudChars));
  fields.SetChoice(SerialField(IDC_DATA_BITS), false, page.dataBits);
  fields.SetChoice(SerialField(IDC_PARITY), false, page.parity);
  fields.SetChoice(SerialField(IDC_STOP_BITS), false, page.stopBits);
  fields.SetChoice(SerialField(IDC_FLOW), page.variant.reduced, page.flow);
  fields.SetCharacter(SettingKey::CXON1, page.xon);
  fields.SetCharacter(SettingKey::CXOFF1, page.xoff);
  fields.SetFlag(SettingKey::P_EN1, page.packing);
  fields.Set(SettingKey::PTIME1, page.packingTime);
  fields.Set(SettingKey::PSIZE1, page.dataCount ? std::string_view(page.dataCountValue) : "0");
  if (page.specifiedCharacter) {
    fields.SetChoice(SerialField(IDC_CHAR_COUNT), false, page.characterCount);
  } else {
    fields.Set(SettingKey::PCHAR1, "0");
  }
  fields.SetCharacter(SettingKey::PMOJ11, page.character1);
  fields.SetCharacter(SettingKey::PMOJ21, page.character2);
  fields.SetChoice(SerialField(IDC_TRAILING_COUNT), false, page.trailingCount);
}

}  // namespace

PageStates ShownPages(const SettingsRecord& record, bool secondChannelReduced) {
  PageStates pages;
  FillNetworkPage(record, pages.network);
  for (int channel = 1; channel <= 2; ++channel) {
    const bool reduced = channel == 2 && secondChannelReduced;
    LanPageState& lan = pages.lan[static_cast<std::size_t>(channel - 1)];
    lan.channel = channel;
    lan.reduced = reduced;
    FillLanPage(record, lan);
    SerialPageState& serial = pages.serial[static_cast<std::size_t>(channel - 1)];
    serial.variant = {channel, reduced};
    FillSerialPage(record, serial);
  }
  return pages;
}

bool LanPasswordRequired(const LanConnectionState& connection) {
  const bool server = connection.serverCode != 0;
  const bool client = connection.clientCode != 0;
  if (server == client) return false;
  return server ? connection.serverPassword : connection.clientPassword;
}

int CollectSettings(const PageStates& pages, const SettingsRecord& deviceRecord, bool forFile,
                    bool secondChannelReduced, SettingsRecord& record, SettingsText& text,
                    CollectUi& ui, Language language) {
  ClearRecord(record);
  SetField(record, SettingKey::MODEL, ReadField(deviceRecord, SettingKey::MODEL));
  CollectNetwork(pages.network, record);
  for (const LanPageState& lan : pages.lan) {
    if (std::optional<CheckFailure> failure = CollectLan(lan, forFile, language, record)) {
      ui.ShowError(failure->message);
      ui.ShowPage(failure->tab);
      return -1;
    }
  }
  for (const SerialPageState& serial : pages.serial)
    CollectSerial(serial, record);
  SerializeSettings(record, forFile, secondChannelReduced, text);
  return 0;
}

}  // namespace calbrin
