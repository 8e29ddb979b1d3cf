// Fault names for the command line and for messages.
#include "sim/faults.h"

#include <array>
#include <charconv>

namespace calbrin::sim {
namespace {

constexpr std::array<std::string_view, 15> kNames{
    "silent",        "close-after-prompt",   "refuse-password", "long-value",
    "oversized",     "no-end-marker",        "delay-ack",       "never-ack",
    "password-only", "close-after-settings", "nul-in-answer",   "slow-answer",
    "model-code-3",  "short-reply",          "double-reply",
};

// One table of name and member, so that the parser and the description cannot drift apart.
struct FlagName {
  std::string_view name;
  bool Faults::*member;
};
constexpr std::array<FlagName, 14> kFlags{{
    {"silent", &Faults::silentAfterConnect},
    {"close-after-prompt", &Faults::closeAfterPrompt},
    {"refuse-password", &Faults::refusePassword},
    {"long-value", &Faults::longValue},
    {"oversized", &Faults::oversizedAnswer},
    {"no-end-marker", &Faults::noEndMarker},
    {"never-ack", &Faults::neverAck},
    {"password-only", &Faults::passwordBlockOnly},
    {"close-after-settings", &Faults::closeAfterSettings},
    {"nul-in-answer", &Faults::nulInAnswer},
    {"slow-answer", &Faults::slowAnswer},
    {"model-code-3", &Faults::unknownModelCode},
    {"short-reply", &Faults::shortReply},
    {"double-reply", &Faults::doubleReply},
}};

constexpr std::string_view kDelayName = "delay-ack";

}  // namespace

std::span<const std::string_view> FaultNames() {
  return kNames;
}

bool SetFaultByName(std::string_view name, Faults& faults) {
  for (const FlagName& flag : kFlags) {
    if (name == flag.name) {
      faults.*flag.member = true;
      return true;
    }
  }
  if (name == kDelayName) {
    faults.ackDelayMs = kDefaultAckDelayMs;
    return true;
  }
  if (name.starts_with(kDelayName) && name.size() > kDelayName.size() + 1 &&
      name[kDelayName.size()] == ':') {
    const std::string_view digits = name.substr(kDelayName.size() + 1);
    int ms = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), ms);
    if (error != std::errc{} || end != digits.data() + digits.size() || ms <= 0) {
      return false;
    }
    faults.ackDelayMs = ms;
    return true;
  }
  return false;
}

std::string DescribeFaults(const Faults& faults) {
  std::string text;
  const auto add = [&text](std::string_view item) {
    if (!text.empty()) text += ',';
    text += item;
  };
  for (const FlagName& flag : kFlags) {
    if (faults.*flag.member) add(flag.name);
  }
  if (faults.ackDelayMs > 0) add(std::string(kDelayName) + ':' + std::to_string(faults.ackDelayMs));
  return text;
}

}  // namespace calbrin::sim
