// The misbehaviours a simulated device can be switched to, so that the tool's error paths can be
// driven on purpose, and their names on the qvsim command line.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace calbrin::sim {

// Every member is independent of the others; a default-constructed value is a healthy device.
struct Faults {
  // Console.
  bool silentAfterConnect = false;  // accepts, sends no prompt, reads and ignores everything
  bool closeAfterPrompt = false;    // sends the prompt, then closes the connection
  bool refusePassword = false;      // answers every login with the password prompt again
  bool longValue = false;           // the GETPARAM answer's PORT1 value is 8 digits (field: 7)
  bool oversizedAnswer = false;     // the GETPARAM answer is padded past 4096 bytes
  bool noEndMarker = false;         // the GETPARAM answer lacks its end marker
  int ackDelayMs = 0;               // a save or password acknowledgement waits this long first
  bool neverAck = false;            // a save or password block is neither stored nor answered
  bool passwordBlockOnly = false;   // the two faults above spare settings writes: P_SET only
  bool closeAfterSettings = false;  // the GETPARAM answer, then the connection is closed
  bool nulInAnswer = false;         // the GETPARAM answer holds a NUL after its first pair
  bool slowAnswer = false;          // the GETPARAM answer goes out a pair at a time, 3 ms apart
  // Discovery.
  bool unknownModelCode = false;  // the reply carries model code 3
  bool shortReply = false;        // the reply is 20 bytes long, so it lacks the MAC
  bool doubleReply = false;       // every request is answered twice

  friend bool operator==(const Faults&, const Faults&) = default;
};

// The names accepted by SetFaultByName, in the order of the members above. "delay-ack" takes its
// milliseconds after a colon ("delay-ack:250"); alone it means kDefaultAckDelayMs.
std::span<const std::string_view> FaultNames();
inline constexpr int kDefaultAckDelayMs = 1000;

// Switches on the named fault in `faults`; false, and `faults` unchanged, for an unknown name or a
// malformed delay.
bool SetFaultByName(std::string_view name, Faults& faults);

// The names of the faults that are on, separated by commas; empty for a healthy device.
std::string DescribeFaults(const Faults& faults);

}  // namespace calbrin::sim
