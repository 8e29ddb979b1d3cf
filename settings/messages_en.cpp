// The core's messages in English: plain ASCII, the same line breaks and leading blanks as the
// Japanese texts, the settings named as the field table's English labels name them.
#include "settings/messages.h"

namespace calbrin {

std::string_view EnglishMessageText(MessageId id) {
  using enum MessageId;
  switch (id) {
    case kErrorCaption:
      return "Error";
    case kConfirmCaption:
      return "Confirm";
    case kNoDeviceSelected:
      return "No device is selected.\r\nSelect an IP address.";
    case kSocketErrorLabel:
      return "Socket error";
    case kNoResponse:
      return "The device did not respond.";
    case kDisconnectedDuringLogin:
      return "Disconnected.";
    case kPasswordRefused:
      return " Not authenticated.\r\n The password may be wrong.";
    case kNoDataReceived:
      return "No data was received.";
    case kConnectionCut:
      return "The connection was closed.";
    case kNoSettingsInTime:
      return "Could not read the device settings.\r\nThe device did not respond in time.";
    case kSettingsNotComplete:
      return "The received settings may not be valid.";
    case kConnecting:
      return "Connecting...";
    case kTimedOutText:
      return "Could not connect: the device did not respond correctly in time.";
    case kRefusedText:
      return "Could not connect: the connection was refused.";
    case kAddressQuestion:
      return "The IP address will change. Continue?";
    case kPasswordQuestion:
      return "The settings password will change. Continue?";
    case kRemovalQuestion:
      return "The settings password will be disabled. Continue?";
    case kPasswordMismatch:
      return "The password and its re-entry differ";
    case kWriting:
      return "Writing...";
    case kWriteFailed:
      return "Writing failed.";
    case kWriteNoAnswer:
      return "Writing failed.\r\nThe device did not respond in time.";
    case kWriteClosed:
      return "Writing failed.\r\nThe connection was closed.";
    case kWriteSocketErrorLabel:
      return "Writing failed.\r\nSocket error";
    case kWriteDone:
      return "  Writing completed.";
    case kWriteDoneNewAddress:
      return "  Writing completed.\r\n  If you changed the IP address, search again.";
    case kFileOpenFailed:
      return "The file could not be opened.";
    case kFileEmptyOrNoSize:
      return "The file is empty or its size cannot be read.";
    case kFileTooLarge:
      return "Could not read the settings.\r\n The file size is wrong.";
    case kFileReadFailed:
      return "Reading the file failed.";
    case kFileNotSettings:
      return " Could not read the settings.\r\n The file content may be wrong.";
    case kFileOtherModel:
      return " Could not read the settings.\r\n The settings file may be for another model.";
    case kFileNotCreated:
      return "The file could not be created.";
    case kReceivePortReserved:
      return "Receive port %2 cannot be set on %1.\r\nChange the value.";
    case kReceivePortsEqual:
      return "LAN(1) and LAN(2) have the same receive port.\r\nChange one to a different value.";
    case kLanPasswordMissing:
      return "The TCP password of %1 is not set.\r\nEnter it.";
    case kCount:
      break;
  }
  return "";
}

}  // namespace calbrin
