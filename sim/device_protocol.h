// The byte-level behaviour of one simulated device, free of sockets and threads: what it sends,
// how it splits what it receives into requests, and how a request changes its settings. The
// Simulator feeds received bytes through these functions, and the tests call them directly too.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "sim/device_settings.h"
#include "sim/faults.h"

namespace calbrin::sim {

inline constexpr std::uint16_t kConsolePort = 9998;
inline constexpr std::uint16_t kDiscoveryPort = 30718;

inline constexpr std::string_view kPasswordPrompt = "Password ?\r\n";
// Sent on connect by a device without a password.
inline constexpr std::string_view kCommandPrompt = "\r\n>\r\n";
// Sent after a login that gave the right password.
inline constexpr std::string_view kLoginAccepted = ">\r\n";
inline constexpr std::string_view kGetParamCommand = "GETPARAM";
inline constexpr std::string_view kPasswordSetCommand = "P_SET";
inline constexpr std::string_view kEndMarker = "\r\nEND\r\n";
inline constexpr std::string_view kSaveAck = "SAVE OK\r\n";
inline constexpr std::string_view kSaveAndResetAck = "END SAVE OK RESET\r\n";
// The answer to a write block whose keys are out of the device's order; nothing is stored.
inline constexpr std::string_view kWriteRefused = "SAVE NG\r\n";

// A console that has waited this long for the end of one request gives up on the connection.
inline constexpr std::size_t kMaxPendingBytes = 64 * 1024;

inline constexpr std::size_t kDiscoveryRequestBytes = 2;
inline constexpr std::string_view kDiscoveryRequest = "VQ";
inline constexpr std::size_t kDiscoveryReplyBytes = 32;
inline constexpr std::size_t kShortDiscoveryReplyBytes = 20;
inline constexpr std::size_t kReplyVersionOffset = 4;
inline constexpr std::size_t kReplyModelOffset = 6;
inline constexpr std::size_t kReplyMacOffset = 24;

using MacAddress = std::array<std::uint8_t, 6>;

// "02-00-00-00-00-0A"; ParseMac accepts the same form with '-' or ':' and either letter case.
std::string FormatMac(const MacAddress& mac);
bool ParseMac(std::string_view text, MacAddress& mac);

// Whether `address` is dotted IPv4 inside 127.0.0.0/8 and is neither that net's own address nor
// its broadcast address: the only addresses the simulator ever binds to or answers.
bool IsLoopbackAddress(std::string_view address);

// Whether `address` is dotted IPv4 inside one of the documentation nets 192.0.2.0/24,
// 198.51.100.0/24 and 203.0.113.0/24: the only others that a device of a site (one device on an
// interface of its own network namespace) may have, or answer.
bool IsDocumentationAddress(std::string_view address);

// The prefix length of a dotted subnet mask ("255.255.255.0": 24), or -1 when the text is no
// mask (not an address, or its one bits do not all lead).
int PrefixLengthOfMask(std::string_view mask);

// The complete GETPARAM answer: every pair, the end marker, and whatever `faults` spoil.
std::string SettingsAnswer(const DeviceSettings& settings, const Faults& faults);

// Whether a login line (without its LF; CRs anywhere are ignored) carries `password`.
bool LoginMatches(std::string_view line, std::string_view password);

enum class RequestKind {
  kIncomplete,   // more bytes are needed before anything can be done
  kBlankLine,    // an empty line between requests, skipped
  kGetParam,     // GETPARAM
  kWrite,        // key and value lines ended by a save command line
  kPasswordSet,  // P_SET, the scrambled password line, a save command line
};

enum class SaveCommand { kNone, kSave, kSaveAndReset };

struct Request {
  RequestKind kind = RequestKind::kIncomplete;
  std::size_t length = 0;  // bytes of `pending` that the request spans, its last LF included
  SaveCommand save = SaveCommand::kNone;
};

// The first request at the start of `pending`. Lines end in CR LF; a lone LF is part of its line.
Request NextRequest(std::string_view pending);

// Stores the pairs of a write block (as delimited by NextRequest) into `settings`: unknown keys
// and MODEL are skipped, a value longer than its field is cut to it, and a channel password of
// "D E L" is stored as the empty password. Returns the fields stored, or -1 with nothing stored
// when a known key comes after one that follows it in the device's order.
int ApplyWriteBlock(std::string_view block, DeviceSettings& settings);

enum class PasswordChange { kSet, kRemove, kInvalid };

// Reads a P_SET block (as delimited by NextRequest). kSet fills `password` with the new password.
PasswordChange DecodePasswordBlock(std::string_view block, std::string& password);

// The reply datagram to a discovery request; "48" gives model code 1, "57" code 2, others 0.
std::string DiscoveryReply(std::string_view modelCode, int firmwareVersion, const MacAddress& mac,
                           const Faults& faults);

}  // namespace calbrin::sim
