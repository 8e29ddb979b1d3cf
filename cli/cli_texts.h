// calbrin-cli's own texts in both languages: help and usage, questions, summaries, errors,
// result words and progress phases. The system's messages (net/, pages/, file/) are not here.
#pragma once

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "settings/language.h"

namespace calbrin {

// One id per text. A text with parts holds them as %1, %2 ... so that a language may place
// them in its own order; Text(id, language, {parts}) fills them.
enum class CliText {
  // Usage and the help of each command.
  kUsage,
  kFromHelp,
  kTraceHelp,
  kHelpBackup,
  kHelpCommission,
  kHelpHistory,
  kHelpRestore,
  kHelpSearch,
  kHelpGet,
  kHelpDiff,
  kHelpPut,
  kHelpSet,
  kHelpPasswd,
  kHelpLog,
  // The command line itself.
  kUnknownCommand,
  kUnknownOption,
  kNeedsValue,
  kLangValues,
  kJobsRange,
  kNoAdapterAtFrom,
  kNoAdapterAddress,
  kTraceNotOpened,
  // search.
  kSearching,
  kSharedMark,
  kOutsideSubnetMark,
  kVia,
  kSearchOverflow,
  // Passwords.
  kPasswordPrompt,
  kNewPasswordPrompt,
  kPasswordAgainPrompt,
  kPasswordsDiffer,
  kPasswordFileUnreadable,
  kVariableNotSet,
  kPasswordNeeded,
  kNewPasswordSource,
  kPasswordForm,
  kDeviceNotOpened,
  // Reaching a device.
  kNoDeviceWithMac,
  kSharedNeedsRights,
  kForeignNeedsRights,
  kAdapterGone,
  kNoFreeAddress,
  kRunInterrupted,
  // KEY=VALUE pairs.
  kGiveKeyValue,
  kNoSuchSetting,
  kModelNotSettable,
  kPasswordNotSettable,
  kLongerThanField,
  kNoLineBreak,
  kPagesWouldWrite,
  kInTheFile,
  // Writes: results, questions and summaries.
  kWriteCompleteCounted,
  kWriteComplete,
  kPasswordChanged,
  kPasswordRemoved,
  kNothingToChange,
  kChangedSinceShown,
  kHistoryNotKept,
  kGiveYes,
  kNotWritten,
  kWarning,
  kAskOne,
  kAskMany,
  kDevicesWritten,
  kNoHistoryOfDevice,
  // History and backup.
  kFolderNotMade,
  kAddressShared,
  kDevicesSaved,
  // Progress.
  kProgress,
  kPhaseSearch,
  kPhaseRead,
  kPhaseWrite,
  kPhaseSettle,
  kPhaseVerify,
  // commission: result words and messages.
  kResultInPlan,
  kResultCommissioned,
  kResultDiffers,
  kResultMissing,
  kResultConflict,
  kResultFailed,
  kResultDeclined,
  kResultExtra,
  kHeldByHost,
  kNotInSheet,
  kNotFoundAfterWrite,
  kAnswersElsewhere,
  kReadBackDiffers,
  kRowsAtPlan,
  kReportNotWritten,
  // The change log.
  kChangeLogOthers,
  kNotChangeRecord,
  kSinceForm,
  kNoDataFolder,
  kCount  // not a text
};

constexpr int kCliTextCount = static_cast<int>(CliText::kCount);

struct CliTextEntry {
  CliText id;
  std::string_view text;
};

// Each language's table; every id once (tests/cli checks).
std::span<const CliTextEntry> EnglishCliTexts();
std::span<const CliTextEntry> JapaneseCliTexts();

// The text of `id` in `language`; empty when the table lacks it.
std::string_view Text(CliText id, Language language);

// The text of `id` in `language` with its parts filled.
std::string Text(CliText id, Language language, std::initializer_list<std::string_view> parts);

}  // namespace calbrin
