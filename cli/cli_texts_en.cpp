// calbrin-cli's texts in English: plain ASCII. Scripts match on some of them; keep their words.
#include "cli/cli_texts.h"

namespace calbrin {
namespace {

using enum CliText;

constexpr CliTextEntry kEnglish[] = {
    {kUsage,
     "usage: calbrin-cli COMMAND [OPTIONS]\n"
     "\n"
     "commands:\n"
     "  search [--from ADDRESS] [--json]     find the devices on the LAN (--all-adapters: on all)\n"
     "  get ADDRESS [-o FILE.qvs] [--json]   read a device's settings: a table, or a settings "
     "file\n"
     "  diff ADDRESS (FILE.qvs | ADDRESS)    the settings that differ; exit 0 equal, 1 different\n"
     "  put FILE.qvs ADDRESS... [K=V...]     write a settings file to devices, after a diff\n"
     "  set ADDRESS... KEY=VALUE...          change single settings of devices\n"
     "  passwd ADDRESS... [--remove]         change or remove devices' settings password\n"
     "  backup DIR [ADDRESS...]              save the settings files of devices\n"
     "  history ADDRESS                      the settings kept before each write of a device\n"
     "  restore ADDRESS... (--last | FILE)   write kept settings back: undo a write\n"
     "  commission SHEET.csv [--check]       bring a site to its plan, per MAC (see README)\n"
     "  log [ADDRESS...] [--since TIME]      the change log: who wrote what to which device\n"
     "\n"
     "A device that asks for its settings password gets it from --password-file FILE (its first\n"
     "line), --password-env VARIABLE, or the terminal, without echo. Passwords are never taken\n"
     "from the command line and never printed. put, set, passwd, restore and backup work on up\n"
     "to --jobs N devices at once (default: as many as the open-file limit allows, at most\n"
     "1024); --json prints machine-readable results (see README). Every command that opens a\n"
     "device connects from --from ADDRESS, a local adapter's address, or else, per device, from\n"
     "the adapter whose subnet holds the device's address, or else the one whose search found\n"
     "it, or else the preselected one. A device may be named by its MAC (02-00-00-0A-1B-FF or\n"
     "02:00:00:0a:1b:ff) in place of its ADDRESS: it is then searched for on every adapter and\n"
     "opened where it answers, also at an address that other devices share or outside every\n"
     "adapter's subnet (which needs administrator rights; see README).\n"
     "--lang en|ja gives every text of calbrin-cli, and the pages, labels and meanings of the\n"
     "settings, in English or Japanese; without it, the locale's language (LC_ALL, LC_MESSAGES,\n"
     "LANG: Japanese for ja_*), on Windows the user's display language. JSON keeps its field\n"
     "names in every language.\n"
     "--trace FILE writes every byte sent to and received from the devices into FILE (made\n"
     "0600), with the passwords masked, for support.\n"
     "\"calbrin-cli COMMAND --help\" describes one command.\n"
     "\"calbrin-cli --version\" prints the program's version.\n"},
    {kFromHelp,
     "--from ADDRESS connects to every device from that local adapter's address. Without it,\n"
     "each device is reached from the first adapter whose subnet holds its address, else from\n"
     "the adapter whose search found it (a MAC, or an address outside every subnet, is searched\n"
     "for), else from the adapter that the windows preselect; devices of one run may go through\n"
     "different adapters. A device may be named by its MAC in place of its address.\n"},
    {kTraceHelp,
     "--trace FILE writes every byte of the console and the search to FILE, one line an event:\n"
     "the seconds since the start, the device's address and port, > sent, < received, and the\n"
     "bytes with \\r, \\n and \\xNN escapes. The passwords are masked; FILE is made 0600.\n"},
    {kHelpBackup,
     "usage: calbrin-cli backup DIR [ADDRESS...] [--from ADDRESS] [--jobs N] [--json]\n"
     "Saves the settings of each device named, or of every device that a search finds, as\n"
     "the file that the windows' save would write, DIR/<model>_<MAC>.qvs, readable by the\n"
     "user alone. Devices are read side by side; one line per device, then a summary; exit\n"
     "code 1 when any device failed. An address that several devices answer from is not\n"
     "saved (it would reach only one of them): its line names their MACs.\n"},
    {kHelpCommission,
     "usage: calbrin-cli commission SHEET.csv [--check] [--yes] [--report FILE.csv] [--json]\n"
     "       [--from ADDRESS] [--jobs N] [--password-file F | --password-env V]\n"
     "Brings every device of the site sheet (one row per MAC: address, mask, gateway, an\n"
     "optional template and device keys; see README) to its plan: searches every adapter,\n"
     "shows each device's current and planned address and what changes, lists the rows\n"
     "whose device did not answer and the devices that no row names, refuses a row whose\n"
     "planned address another device or host holds, and after --yes or one yes writes the\n"
     "devices side by side (by MAC, at shared or foreign addresses too), keeping history.\n"
     "After the settle it searches again and reads every written device back. --check\n"
     "compares the site with the sheet and writes nothing. --report writes a CSV of the\n"
     "results for the handover. A sheet with any problem is refused whole (exit code 2);\n"
     "exit code 0 only when every row is at its plan.\n"},
    {kHelpHistory,
     "usage: calbrin-cli history ADDRESS [--history DIR] [--json]\n"
     "Lists the settings files kept before each write of the device at ADDRESS, oldest first.\n"
     "put, set, passwd and restore keep them in DIR (default: the user's data directory,\n"
     "$XDG_DATA_HOME or ~/.local/share/calbrin/history, %LOCALAPPDATA%\\Calbrin\\history on\n"
     "Windows), one folder per device address (or MAC, for a device named by it);\n"
     "--no-history writes without them.\n"},
    {kHelpRestore,
     "usage: calbrin-cli restore ADDRESS... (--last | FILE.qvs) [--with-address] [--yes]\n"
     "       [--from ADDRESS]\n"
     "Writes back the settings kept before a write: each device's newest history file with\n"
     "--last, or FILE.qvs, through the same checks as put, keeping each device's own address\n"
     "unless --with-address. Undoes a put to many devices in one command.\n"},
    {kHelpSearch,
     "usage: calbrin-cli search [--from ADDRESS | --all-adapters] [--json]\n"
     "Sends one discovery broadcast from the local ADDRESS (default: the adapter that the\n"
     "windows preselect) and lists every device that answers within five seconds:\n"
     "address, MAC, model, version, and whether the device lies outside the adapter's\n"
     "subnet. Each device is listed once, by its MAC; where several answer from one\n"
     "address (units fresh from the factory), each of their rows is marked (shared) after\n"
     "the address.\n"
     "--all-adapters broadcasts from every adapter with an IPv4 address in the same window\n"
     "and tells by which adapter's address each device was found. On a terminal it counts\n"
     "the seconds down. --json prints a JSON array instead.\n"},
    {kHelpGet,
     "usage: calbrin-cli get ADDRESS [-o FILE.qvs] [--json] [--from ADDRESS]\n"
     "       [--password-file F | --password-env V]\n"
     "Opens the device (logging in when it asks) and prints its settings by page, label and\n"
     "meaning, or with -o writes the settings file that the windows' save would write.\n"},
    {kHelpDiff,
     "usage: calbrin-cli diff ADDRESS (FILE.qvs | ADDRESS) [--from ADDRESS]\n"
     "       [--password-file F | --password-env V]\n"
     "Prints the settings that differ between a device and a settings file, or between two\n"
     "devices, by page and label with both values; passwords are compared, never printed.\n"
     "Exit code 0 when they are equal, 1 when they differ, 2 on any failure. --json prints\n"
     "the differences as JSON.\n"},
    {kHelpPut,
     "usage: calbrin-cli put FILE.qvs ADDRESS... [KEY=VALUE...] [--with-address] [--yes]\n"
     "       [--from ADDRESS] [--jobs N] [--json]\n"
     "For each device: refuses a file of the other model, takes KEY=VALUE pairs over the\n"
     "file's values (checked as set checks them), runs Apply's checks (receive ports,\n"
     "TCP passwords), keeps the device's own IP address, subnet mask and gateway unless\n"
     "--with-address is given, shows what changes (with a warning for each of the file's\n"
     "values that the windows' controls would not take; it is written as the windows would\n"
     "write it), and writes after --yes or one yes on the terminal for all devices. Up to\n"
     "--jobs N devices (default: as the open-file limit allows, at most 1024) are worked on\n"
     "at once, each on a connection of its own. One line per device in the order given, then\n"
     "a summary; exit code 1 when any device failed.\n"},
    {kHelpSet,
     "usage: calbrin-cli set ADDRESS... KEY=VALUE... [--yes] [--from ADDRESS] [--jobs N]\n"
     "       [--json]\n"
     "Changes single settings, by the device's own keys (MSS=1200, PORT1=4001, CFLOW2=2).\n"
     "Before anything is sent, each value is checked as the windows' controls would take\n"
     "it: numbers in plain decimal within their range (MSS 536 to 1460, PORT1 0 to 65535),\n"
     "addresses as four numbers from 0 to 255 (a subnet mask's bits ones, then zeros),\n"
     "choices and check boxes by the codes they store, characters as decimal codes 0 to\n"
     "255, no line breaks; unknown keys and values longer than their field are refused\n"
     "too (exit code 2). A choice that the device's model does not offer (CFLOW2=1 on a\n"
     "QV-57R) refuses that device. MODEL and the channel passwords cannot be set here.\n"
     "Several devices are written side by side, as put does.\n"},
    {kHelpPasswd,
     "usage: calbrin-cli passwd ADDRESS... [--remove] [--new-password-file F | "
     "--new-password-env V] [--from ADDRESS] [--jobs N] [--json]\n"
     "Sets a new settings password (asked twice on the terminal without echo, or read from a\n"
     "file or an environment variable), or removes it with --remove.\n"},
    {kHelpLog,
     "usage: calbrin-cli log [ADDRESS|MAC...] [--since TIME] [--json]\n"
     "Shows the change log: one record per device that put, set, passwd, restore or\n"
     "commission wrote, or failed to write, oldest first: the time (UTC), user@computer, the\n"
     "command, the device and the result, then each setting changed with its label and its\n"
     "meaning before and after (in English, whoever wrote it; a password only as changed).\n"
     "Only the devices named, from --since TIME on (2026-12-07 or 2026-12-07T05:41:00Z, UTC).\n"
     "--json prints the records as they are stored, one JSON object per line. The log is\n"
     "changes.jsonl in the user's data folder, beside the history, with older records in\n"
     "changes.1.jsonl, changes.2.jsonl ...\n"},

    {kUnknownCommand, "unknown command %1"},
    {kUnknownOption, "unknown option %1"},
    {kNeedsValue, "%1 needs a value"},
    {kLangValues, "--lang takes en or ja"},
    {kJobsRange, "--jobs takes a number from 1 to %1"},
    {kNoAdapterAtFrom, "--from %1: no adapter has this address (the adapters: %2)"},
    {kNoAdapterAddress, "none"},
    {kTraceNotOpened, "--trace %1: the trace file cannot be written: %2"},

    {kSearching, "Searching... "},
    {kSharedMark, " (shared)"},
    {kOutsideSubnetMark, "  (outside subnet)"},
    {kVia, "  via %1"},
    {kSearchOverflow, "search from %1: more than %2 devices answered; the others are not listed"},

    {kPasswordPrompt, "Password (%1): "},
    {kNewPasswordPrompt, "New password: "},
    {kPasswordAgainPrompt, "Again: "},
    {kPasswordsDiffer, "The password and its re-entry differ"},
    {kPasswordFileUnreadable, "the password file %1 cannot be read"},
    {kVariableNotSet, "the variable %1 is not set"},
    {kPasswordNeeded,
     "the device asks for its settings password: give --password-file or --password-env"},
    {kNewPasswordSource, "give --new-password-file or --new-password-env, or run on a terminal"},
    {kPasswordForm, "a password is 1 to 32 characters from '!' to '~'"},
    {kDeviceNotOpened, "the device could not be opened"},

    {kNoDeviceWithMac, "no device answered the search with this MAC"},
    {kSharedNeedsRights, "%1 devices share %2: run as administrator to open them by MAC"},
    {kForeignNeedsRights,
     "%1 lies outside the subnets of this computer's adapters: run as administrator to reach "
     "it"},
    {kAdapterGone, "the adapter %1 is gone"},
    {kNoFreeAddress, "no free address near %1 for this computer to reach it from"},
    {kRunInterrupted, "the run was interrupted"},

    {kGiveKeyValue, "%1: give KEY=VALUE"},
    {kNoSuchSetting, "%1: no such setting"},
    {kModelNotSettable, "MODEL cannot be set"},
    {kPasswordNotSettable, "%1: passwords are never taken from the command line; use put"},
    {kLongerThanField, "%1: longer than its field (%2)"},
    {kNoLineBreak, "%1: a value cannot hold a line break"},
    {kPagesWouldWrite, "%1=%2: the pages of the %3 would write \"%4\" beside the other settings"},
    {kInTheFile, "%1 in the file: %2"},

    {kWriteCompleteCounted, "Write complete. (%1 settings)"},
    {kWriteComplete, "Write complete."},
    {kPasswordChanged, "Password changed."},
    {kPasswordRemoved, "Password removed."},
    {kNothingToChange, "Nothing to change."},
    {kChangedSinceShown, "not written: the device's settings changed since they were shown"},
    {kHistoryNotKept, "not written: %1 (--no-history writes without it)"},
    {kGiveYes, "not written: give --yes to write without asking"},
    {kNotWritten, "not written"},
    {kWarning, "warning: %1"},
    {kAskOne, "Write to %1? [y/N] "},
    {kAskMany, "Write to %1 devices? [y/N] "},
    {kDevicesWritten, "%1 of %2 devices written"},
    {kNoHistoryOfDevice, "no history file of this device"},

    {kFolderNotMade, "%1: the folder cannot be made"},
    {kAddressShared,
     "%1 devices share this address (%2): not saved, as opening it reaches only one of them; "
     "name their MACs to save each"},
    {kDevicesSaved, "%1 of %2 devices saved"},

    {kProgress, "done %1  failed %2  remaining %3  elapsed %4s"},
    {kPhaseSearch, "search"},
    {kPhaseRead, "read"},
    {kPhaseWrite, "write"},
    {kPhaseSettle, "settle"},
    {kPhaseVerify, "verify"},

    {kResultInPlan, "in plan"},
    {kResultCommissioned, "commissioned"},
    {kResultDiffers, "differs"},
    {kResultMissing, "missing"},
    {kResultConflict, "conflict"},
    {kResultFailed, "failed"},
    {kResultDeclined, "declined"},
    {kResultExtra, "extra"},
    {kHeldByHost, "%1 is held by the host %2"},
    {kNotInSheet, "not in the sheet"},
    {kNotFoundAfterWrite, "written, but it did not answer the search after the write"},
    {kAnswersElsewhere, "written, but it answers at %1"},
    {kReadBackDiffers, "written, but read back it differs: %1"},
    {kRowsAtPlan, "%1 of %2 rows at their plan"},
    {kReportNotWritten, "%1: the report cannot be written"},
    {kChangeLogOthers, "the change log %1 belongs to another user or can be written by others"},
    {kNotChangeRecord, "%1: not a change record: skipped"},
    {kSinceForm, "--since %1: give a UTC date or date-time, as 2026-12-07 or 2026-12-07T05:41:00Z"},
    {kNoDataFolder, "the user's data folder is not known (HOME, XDG_DATA_HOME or LOCALAPPDATA)"},
};

}  // namespace

std::span<const CliTextEntry> EnglishCliTexts() {
  return kEnglish;
}

}  // namespace calbrin
