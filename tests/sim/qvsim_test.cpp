// qvsim's command line: its help, a refusal, and what its options make of a device.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "sim/state_file.h"

namespace calbrin::sim {
namespace {

// Runs qvsim with `arguments` through the shell; its exit status, and its output in `out`. With
// `interrupt` it gets SIGINT once it has printed its devices.
int RunQvsim(const std::string& arguments, std::string& out, bool interrupt = false) {
  const std::string file = ::testing::TempDir() + "qvsim-out-" + std::to_string(::getpid());
  const std::string stop = " & for i in $(seq 200); do [ -s " + file +
                           " ] && break; sleep 0.05; done; kill -INT $!; wait $!";
  const std::string command =
      "( " QVSIM_PATH " " + arguments + (interrupt ? stop : "") + " ) >" + file + " 2>&1";
  const int status = std::system(command.c_str());
  std::ifstream in(file);
  std::ostringstream text;
  text << in.rdbuf();
  out = text.str();
  std::filesystem::remove(file);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(Qvsim, PlaysTheDeviceItsOptionsDescribe) {
  const std::string state = ::testing::TempDir() + "qvsim-state-" + std::to_string(::getpid());
  std::string out;
  EXPECT_EQ(RunQvsim("--help", out), 0);
  EXPECT_TRUE(out.starts_with("usage: qvsim")) << out;
  EXPECT_NE(RunQvsim("48,fault=nope", out), 0);
  EXPECT_NE(out.find("unknown fault \"nope\""), std::string::npos) << out;
  // Interrupted once it runs, it stops cleanly and leaves the device in its state file.
  EXPECT_EQ(RunQvsim("--state " + state +
                         " 57,address=127.0.0.5,version=113,mac=0a:0b:0c:0d:0e:0f,password=pw,"
                         "fault=never-ack,fault=delay-ack:250",
                     out, true),
            0);
  EXPECT_EQ(out,
            "127.0.0.5       QV-57R  0A-0B-0C-0D-0E-0F  version 1.13  password set  faults: "
            "never-ack,delay-ack:250\n");
  std::string text, error;
  std::vector<DeviceState> devices;
  ASSERT_TRUE(ReadWholeFile(state, text));
  std::filesystem::remove(state);
  ASSERT_TRUE(ParseState(text, devices, error)) << error;
  ASSERT_EQ(devices.size(), 1u);
  EXPECT_EQ(devices[0].password, "pw");
  EXPECT_EQ(devices[0].settings.Get("IP"), "127.0.0.5");
}

}  // namespace
}  // namespace calbrin::sim
