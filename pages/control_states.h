// What the pure page logic tells the windows about their controls besides values.
#pragma once

#include <span>
#include <vector>

namespace calbrin {

// One control, by its identifier in the page layout, and whether it takes input.
struct ControlEnabled {
  int id;
  bool enabled;
};

using EnabledStates = std::vector<ControlEnabled>;

// Appends every control of `ids` with the same state.
inline void SetEnabled(EnabledStates& states, std::span<const int> ids, bool enabled) {
  for (const int id : ids)
    states.push_back({id, enabled});
}

// The items of a choice list, in list order, as UTF-8 texts.
using ChoiceItems = std::vector<const char*>;

}  // namespace calbrin
