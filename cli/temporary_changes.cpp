// The run's temporary network changes, counted by their users.
#include "cli/temporary_changes.h"

#include <algorithm>
#include <vector>

namespace calbrin {

TemporaryChanges& TemporaryChanges::Process() {
  static TemporaryChanges changes;
  return changes;
}

ChangeResult TemporaryChanges::Acquire(const std::string& key,
                                       const std::function<ChangeResult()>& make,
                                       std::function<void()> undo) {
  const std::lock_guard lock(mutex_);
  if (closed_) return {ChangeStatus::kFailed, {}};  // the caller says it in its language
  if (const auto held = changes_.find(key); held != changes_.end()) {
    ++held->second.users;
    return {ChangeStatus::kDone, {}};
  }
  ChangeResult result = make();
  if (result.status == ChangeStatus::kExists) {
    result.status = ChangeStatus::kDone;
    undo = nullptr;
  }
  if (result.Ok()) changes_[key] = {1, std::move(undo), ++made_};
  return result;
}

void TemporaryChanges::Release(const std::string& key) {
  const std::lock_guard lock(mutex_);
  const auto held = changes_.find(key);
  if (held == changes_.end() || --held->second.users > 0) return;
  if (held->second.undo) held->second.undo();
  changes_.erase(held);
}

bool TemporaryChanges::Holds(const std::string& key) {
  const std::lock_guard lock(mutex_);
  return changes_.contains(key);
}

void TemporaryChanges::UndoAll() {
  const std::lock_guard lock(mutex_);
  closed_ = true;
  std::vector<Change*> newestFirst;
  for (auto& [key, change] : changes_)
    newestFirst.push_back(&change);
  std::sort(newestFirst.begin(), newestFirst.end(),
            [](const Change* a, const Change* b) { return a->order > b->order; });
  for (Change* change : newestFirst) {
    if (change->undo) change->undo();
  }
  changes_.clear();
}

}  // namespace calbrin
