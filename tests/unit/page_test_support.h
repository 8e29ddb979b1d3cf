// Reads what the page logic reports about its controls' enabled states.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <set>

#include "pages/control_states.h"

namespace calbrin::test {

using Ids = std::set<int>;

// The enabled controls among `states`; a control reported twice fails the test.
inline Ids EnabledIds(const EnabledStates& states) {
  Ids seen, enabled;
  for (const ControlEnabled& state : states) {
    EXPECT_TRUE(seen.insert(state.id).second) << "control " << state.id << " reported twice";
    if (state.enabled) enabled.insert(state.id);
  }
  return enabled;
}

inline Ids Union(std::initializer_list<Ids> groups) {
  Ids all;
  for (const Ids& group : groups)
    all.insert(group.begin(), group.end());
  return all;
}

}  // namespace calbrin::test
