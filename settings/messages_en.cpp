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
    case kHistoryFileNotWritten:
      return "the history file %1 cannot be written";
    case kHistoryFolderOthers:
      return "the history folder %1 belongs to another user: not used";
    case kHistoryFileOthers:
      return "the history file %1 belongs to another user: not used";
    case kHistoryFolderWritable:
      return "the history folder %1 can be written by others: not used";
    case kHistoryFileWritable:
      return "the history file %1 can be written by others: not used";
    case kChangeLogNotWritten:
      return "the change log %1 was not written";
    case kChangeLogNotPrivate:
      return "the change log %1 or its folder belongs to another user or can be written by others: "
             "not written";
    case kChangeLogDropped:
      return "the oldest change log file %1 was removed to make room";
    case kReceivePortReserved:
      return "Receive port %2 cannot be set on %1.\r\nChange the value.";
    case kReceivePortsEqual:
      return "LAN(1) and LAN(2) have the same receive port.\r\nChange one to a different value.";
    case kLanPasswordMissing:
      return "The TCP password of %1 is not set.\r\nEnter it.";
    case kNumberFromTo:
      return "a number from %1 to %2";
    case kOffOr:
      return "%1 (off) or %2";
    case kOffCode:
      return "%1 (off)";
    case kWithoutLeadingZeros:
      return "%1, without leading zeros";
    case kDottedAddress:
      return "an address: four numbers from 0 to 255 joined by dots (192.0.2.1)";
    case kDottedMask:
      return "a subnet mask: four numbers from 0 to 255 joined by dots, its bits ones then zeros "
             "(255.255.255.0)";
    case kOneOf:
      return "one of %1";
    case kOnReducedChannel:
      return "%1 on channel 2 of a QV-57R";
    case kNoDriverControl:
      return "0 only: port 1 has no driver control";
    case kZeroOrOne:
      return "0 or 1";
    case kCharacterCode:
      return "a decimal character code from 0 to 255";
    case kTextUpTo:
      return "a text of up to %1 characters without control characters";
    case kSheetRowColumn:
      return "row %1, column %2: %3";
    case kSheetUnreadable:
      return "the sheet cannot be read: %1";
    case kSheetFileMissing:
      return "no such file";
    case kSheetNotAFile:
      return "not a file";
    case kSheetFileUnreadable:
      return "cannot be read";
    case kSheetReadFailed:
      return "a read failed";
    case kSheetEncoding:
      return "the sheet is neither UTF-8 nor Japanese Windows text (code page 932)";
    case kSheetColumnsNeeded:
      return "a sheet needs the columns mac, address, mask and gateway";
    case kSheetColumnMissing:
      return "missing: %1";
    case kSheetEmpty:
      return "the sheet is empty: %1";
    case kSheetNoDevice:
      return "the sheet lists no device: one row per device follows the column names";
    case kSheetUnknownColumn:
      return "neither a column of the sheet (mac, address, mask, gateway, template, name, "
             "password-env) nor a device key";
    case kSheetModelColumn:
      return "the model is never set: a device keeps its own";
    case kSheetAddressKeyColumn:
      return "%1 is not a key column: the columns address, mask and gateway carry the address";
    case kSheetPasswordColumn:
      return "channel passwords never come from a sheet: give them in the template";
    case kSheetSecondColumn:
      return "a second such column (the first is column %1)";
    case kSheetRepeated:
      return "%1 again (first in row %2)";
    case kSheetCellEmpty:
      return "empty: every device needs one";
    case kSheetNotMac:
      return "%1 is not a MAC: six two-digit hexadecimal numbers joined by - or : "
             "(02-00-00-0A-1B-FF)";
    case kSheetUnnamedColumnValue:
      return "a value in a column that row 1 does not name";
    case kSheetOpenQuote:
      return "a quote opens here and never closes";
    case kPlanTemplate:
      return "template %1: %2";
    case kAddressHeldBy:
      return "%1 is held by %2";
    case kCount:
      break;
  }
  return "";
}

}  // namespace calbrin
