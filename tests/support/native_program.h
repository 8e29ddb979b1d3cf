// Starts a helper program of the native (Linux) build from a test, also from a test that runs
// under Wine, which hands Unix executables to the system.
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace calbrin::test {

// The path of a native helper program: CALBRIN_NATIVE_TOOLS names the folder that holds it.
// Empty when the variable is not set.
std::string NativeToolPath(const std::string& name);

// Starts `program` with `arguments` and returns at once; false when it could not be started.
bool StartNativeProgram(const std::string& program, const std::vector<std::string>& arguments);

// A file name in /tmp that a native helper can write, and the same file as this program names
// it (under Wine, through the drive that maps the Unix root).
struct SharedFile {
  std::string nativePath;
  std::string localPath;
};
SharedFile NewSharedFile(const std::string& stem);

// Waits until `localPath` exists and holds at least `minimumSize` bytes; false after `limit`.
bool AwaitFile(const std::string& localPath, std::size_t minimumSize,
               std::chrono::milliseconds limit);

}  // namespace calbrin::test
