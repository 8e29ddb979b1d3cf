// The network changes that a run makes to reach its devices (neighbour entries, host routes,
// temporary addresses): each made once however many devices need it, undone when the last of
// them is done, and all undone at once when the run is interrupted, so that nothing of the tool's
// stays in the workstation's tables.
#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <utility>

#include "net/network_changes.h"

namespace calbrin {

class TemporaryChanges {
 public:
  // The one instance of the process, which an interrupt undoes.
  static TemporaryChanges& Process();

  // Makes the change that `key` names with `make` unless it is in force already, and counts one
  // more user of it. `undo` is what takes it back; a change that was there before (kExists) is
  // used but never undone. After UndoAll every Acquire fails, without a detail.
  ChangeResult Acquire(const std::string& key, const std::function<ChangeResult()>& make,
                       std::function<void()> undo);
  // One user fewer; the last one's undo runs.
  void Release(const std::string& key);
  // Whether `key` is in force now (for reusing a temporary address).
  bool Holds(const std::string& key);
  // Undoes every change in force, newest first.
  void UndoAll();

 private:
  struct Change {
    int users = 0;
    std::function<void()> undo;  // empty for a change that was there before
    long order = 0;
  };
  std::mutex mutex_;
  std::map<std::string, Change> changes_;
  long made_ = 0;
  bool closed_ = false;
};

// Holds one user of a change for a scope.
class HeldChange {
 public:
  HeldChange() = default;
  explicit HeldChange(std::string key) : key_(std::move(key)) {}
  ~HeldChange() { Drop(); }
  HeldChange(HeldChange&& other) noexcept : key_(std::exchange(other.key_, {})) {}
  HeldChange& operator=(HeldChange&& other) noexcept {
    Drop();
    key_ = std::exchange(other.key_, {});
    return *this;
  }
  HeldChange(const HeldChange&) = delete;
  HeldChange& operator=(const HeldChange&) = delete;

 private:
  void Drop() {
    if (!key_.empty()) TemporaryChanges::Process().Release(std::exchange(key_, {}));
  }

  std::string key_;
};

}  // namespace calbrin
