// Reads what the page logic reports: controls' enabled states and the items of choice lists.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "pages/control_states.h"

namespace calbrin::test {

// The state reported for `id`; a control reported never or twice fails the test.
inline bool EnabledOf(const EnabledStates& states, int id) {
  int seen = 0;
  bool enabled = false;
  for (const ControlEnabled& state : states) {
    if (state.id != id) continue;
    ++seen;
    enabled = state.enabled;
  }
  EXPECT_EQ(seen, 1) << "control " << id;
  return enabled;
}

// The controls among `ids` whose state differs from `expected`, as text for the failure message.
inline std::string ControlsNot(const EnabledStates& states, std::initializer_list<int> ids,
                               bool expected) {
  std::string wrong;
  for (const int id : ids) {
    if (EnabledOf(states, id) != expected) wrong += std::to_string(id) + " ";
  }
  return wrong;
}

// The items of a list joined, each followed by "|".
inline std::string JoinedItems(ChoiceItems items) {
  std::string joined;
  for (const char* item : items)
    joined += std::string(item) + "|";
  return joined;
}

}  // namespace calbrin::test
