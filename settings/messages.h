// The messages of the portable core (device operations, Apply, settings files, the checks of the
// pages and of single values, site sheets and plans), one id a text, in every language of Language.
// The texts live in one file per language (messages_ja.cpp, messages_en.cpp); composed texts hold
// numbered placeholders ("%1", "%2") that FormatMessageText fills, so that a language may order the
// parts as it needs.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "settings/language.h"

namespace calbrin {

enum class MessageId {
  // Captions of the message boxes.
  kErrorCaption,
  kConfirmCaption,
  // Opening a device.
  kNoDeviceSelected,
  kSocketErrorLabel,
  kNoResponse,
  kDisconnectedDuringLogin,
  kPasswordRefused,
  kNoDataReceived,
  kConnectionCut,
  kNoSettingsInTime,
  kSettingsNotComplete,
  kConnecting,
  // What follows the code of a socket error: a time-out, a refused connection.
  kTimedOutText,
  kRefusedText,
  // Apply: the questions, the write's failures and its report.
  kAddressQuestion,
  kPasswordQuestion,
  kRemovalQuestion,
  kPasswordMismatch,
  kWriting,
  kWriteFailed,
  kWriteNoAnswer,
  kWriteClosed,
  kWriteSocketErrorLabel,
  kWriteDone,
  kWriteDoneNewAddress,
  // Settings files.
  kFileOpenFailed,
  kFileEmptyOrNoSize,
  kFileTooLarge,
  kFileReadFailed,
  kFileNotSettings,
  kFileOtherModel,
  kFileNotCreated,
  // The history of writes (%1 a folder or file) and the change log (%1 its file).
  kHistoryFileNotWritten,
  kHistoryFolderOthers,
  kHistoryFileOthers,
  kHistoryFolderWritable,
  kHistoryFileWritable,
  kChangeLogNotWritten,
  kChangeLogNotPrivate,
  kChangeLogDropped,
  // The checks of the collection: %1 the channel ("LAN(1)"), %2 the port number.
  kReceivePortReserved,
  kReceivePortsEqual,
  kLanPasswordMissing,
  // What a single value must be, as noun phrases after the key and its label: %1 and %2 the
  // numbers, codes or phrases that they hold.
  kNumberFromTo,
  kOffOr,
  kOffCode,
  kWithoutLeadingZeros,
  kDottedAddress,
  kDottedMask,
  kOneOf,
  kOnReducedChannel,
  kNoDriverControl,
  kZeroOrOne,
  kCharacterCode,
  kTextUpTo,
  // Site sheets: a problem's place (%1 the row, %2 the column, %3 the problem), then the problems.
  kSheetRowColumn,
  kSheetUnreadable,
  kSheetFileMissing,
  kSheetNotAFile,
  kSheetFileUnreadable,
  kSheetReadFailed,
  kSheetEncoding,
  kSheetColumnsNeeded,
  kSheetColumnMissing,
  kSheetEmpty,
  kSheetNoDevice,
  kSheetUnknownColumn,
  kSheetModelColumn,
  kSheetAddressKeyColumn,
  kSheetPasswordColumn,
  kSheetSecondColumn,
  kSheetRepeated,
  kSheetCellEmpty,
  kSheetNotMac,
  kSheetUnnamedColumnValue,
  kSheetOpenQuote,
  // A site's plan: %1 the template's file name, %2 why it was refused; %1 an address, %2 a MAC.
  kPlanTemplate,
  kAddressHeldBy,
  kCount  // not a message: the number of ids
};

inline constexpr int kMessageCount = static_cast<int>(MessageId::kCount);

// The text of `id` in `language`, UTF-8; placeholders left as they are.
std::string_view MessageText(MessageId id, Language language);

// `pattern` with each "%1" ... "%9" replaced by that part (nothing for a part not given); "%%" is
// one '%'. The texts of calbrin-cli's own catalogue are filled the same way.
std::string FillPlaceholders(std::string_view pattern,
                             std::initializer_list<std::string_view> parts);

// The text of `id` in `language` with its placeholders filled by `args` in that order.
std::string FormatMessageText(MessageId id, Language language,
                              std::initializer_list<std::string_view> args);

// The tables of the languages, one file each.
std::string_view JapaneseMessageText(MessageId id);
std::string_view EnglishMessageText(MessageId id);

}  // namespace calbrin
