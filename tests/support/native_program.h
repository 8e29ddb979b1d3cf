// Starts a helper program of the native (Linux) build from a test, also from a test that runs
// under Wine, which hands Unix executables to the system.
#pragma once

#include <string>
#include <vector>

namespace calbrin::test {

// Starts the native helper `name` from the folder that CALBRIN_NATIVE_TOOLS names, with a fresh
// file name in /tmp before `arguments`, and waits up to 5 seconds for the helper to create that
// file, its sign of being ready. False when it could not be started or never got ready.
bool StartNativeTool(const std::string& name, std::vector<std::string> arguments);

}  // namespace calbrin::test
