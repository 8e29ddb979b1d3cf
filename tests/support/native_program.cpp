// Starting native helper programs from tests, natively and under Wine.
#include "native_program.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

namespace calbrin::test {

std::string NativeToolPath(const std::string& name) {
  const char* folder = std::getenv("CALBRIN_NATIVE_TOOLS");
  return folder == nullptr ? std::string() : std::string(folder) + "/" + name;
}

bool StartNativeProgram(const std::string& program, const std::vector<std::string>& arguments) {
#ifdef _WIN32
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
#else
  std::vector<char*> argv;
  std::string path = program;
  argv.push_back(path.data());
  std::vector<std::string> copies = arguments;
  for (std::string& argument : copies)
    argv.push_back(argument.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return false;
  // Reap it in the background so that it leaves no zombie behind.
  std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
  return true;
#endif
}

SharedFile NewSharedFile(const std::string& stem) {
  static std::atomic<int> counter{0};
  const std::string name =
      "/tmp/calbrin-" + stem + "-" +
      std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + "-" +
      std::to_string(counter++);
#ifdef _WIN32
  return {name, "Z:" + name};
#else
  return {name, name};
#endif
}

bool AwaitFile(const std::string& localPath, std::size_t minimumSize,
               std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < end) {
    std::error_code error;
    if (std::filesystem::exists(localPath, error) &&
        std::filesystem::file_size(localPath, error) >= minimumSize && !error) {
      return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

}  // namespace calbrin::test
