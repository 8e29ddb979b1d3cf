// Whether one setting's stored text is a value that the pages' controls could produce, checked
// by the field table's row of the key: for values that arrive without the windows, such as
// calbrin-cli's KEY=VALUE pairs and the values of a settings file.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "settings/language.h"

namespace calbrin {

// What is wrong with a value, in two parts that a message joins with its own words between.
struct ValueProblem {
  std::string subject;  // the key, its label and the value: `PORT1 (受信ポート番号) = 70000`
  std::string allowed;  // what the control takes: `a number from 0 to 65535`

  std::string Message() const { return subject + ": " + allowed; }
};

// The problem with `value` as the setting at key index `index`, or none when the pages could
// store it. `secondChannelReduced` narrows channel 2's choices to those of a QV-57R. The model
// and the channel passwords are not checked here: the model is never set, and a password's
// stored text is its scrambled form. The label, the choices' words and what the value must be
// are in `language`.
std::optional<ValueProblem> CheckSettingValue(int index, std::string_view value,
                                              bool secondChannelReduced,
                                              Language language = Language::kJapanese);

// The Ethernet mode that a NEGOS code stands for, as the network page shows it: "7" and any
// other text outside "0" to "3" are auto-negotiation.
std::string EthernetModeText(std::string_view code, Language language = Language::kJapanese);

}  // namespace calbrin
