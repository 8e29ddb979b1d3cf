// Starting native helper programs from tests, natively and under Wine.
#include "native_program.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <spawn.h>
#include <sys/wait.h>
extern char** environ;
#endif

namespace calbrin::test {
namespace {

#ifdef _WIN32
bool Spawn(const std::string& program, const std::vector<std::string>& arguments) {
  std::string commandLine = program;
  for (const std::string& argument : arguments)
    commandLine += " " + argument;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}
const std::string kUnixRoot = "Z:";  // the drive that maps the Unix root
#else
bool Spawn(std::string program, std::vector<std::string> arguments) {
  std::vector<char*> argv{program.data()};
  for (std::string& argument : arguments)
    argv.push_back(argument.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return false;
  // Reap it in the background so that it leaves no zombie behind.
  std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
  return true;
}
const std::string kUnixRoot;
#endif

}  // namespace

bool StartNativeTool(const std::string& name, std::vector<std::string> arguments) {
  static std::atomic<int> counter{0};
  const char* folder = std::getenv("CALBRIN_NATIVE_TOOLS");
  const std::string ready =
      "/tmp/calbrin-" + name + "-" +
      std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + "-" +
      std::to_string(counter++);
  arguments.insert(arguments.begin(), ready);
  if (folder == nullptr || !Spawn(std::string(folder) + "/" + name, arguments)) return false;
  for (int i = 0; i < 1000; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(5))) {
    std::error_code error;
    if (std::filesystem::remove(kUnixRoot + ready, error)) return true;
  }
  return false;
}

}  // namespace calbrin::test
