// The program's V4L2 path on a camera that answers like the uvcvideo driver:
// the user-space camera (libfakeuvc.so) preloaded into the scenarios of
// uvc_scenarios, one process each, so every case starts with a fresh device.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Outcome {
  int exitCode = -1;
  std::string output;
  std::string log;  // the device's own log: s_fmt and dqbuf lines
};

std::string readAll(const std::string& path) {
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

// Runs one scenario with the user-space camera under it, set up by the given
// FAKEUVC_* settings; gives up (and fails) after two minutes.
Outcome runScenario(const std::string& scenario, const std::map<std::string, std::string>& settings) {
  const auto folder =
      std::filesystem::temp_directory_path() / ("varnix-uvc-" + std::to_string(::getpid()) + "-" + scenario);
  std::filesystem::create_directories(folder);
  const std::string logPath = (folder / "device.log").string();

  std::vector<std::string> environment;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    if (text.rfind("FAKEUVC_", 0) != 0 && text.rfind("LD_PRELOAD=", 0) != 0 &&
        text.rfind("ASAN_OPTIONS=", 0) != 0)
      environment.push_back(text);
  }
  environment.push_back(std::string("LD_PRELOAD=") + FAKEUVC_LIBRARY);
  // The camera library is not built with the sanitizers; they would refuse
  // to start with it loaded first.
  std::string asanOptions = "ASAN_OPTIONS=";
  if (const char* asan = std::getenv("ASAN_OPTIONS")) asanOptions.append(asan).append(":");
  environment.push_back(asanOptions.append("verify_asan_link_order=0"));
  environment.push_back("FAKEUVC_LOG=" + logPath);
  environment.push_back("QT_QPA_PLATFORM=offscreen");
  for (const auto& [name, value] : settings)
    environment.push_back(std::string(name).append("=").append(value));

  std::vector<char*> envp;
  envp.reserve(environment.size() + 1);
  for (std::string& text : environment) envp.push_back(text.data());
  envp.push_back(nullptr);
  std::string program = UVC_SCENARIOS;
  std::vector<char*> argv = {program.data(), const_cast<char*>(scenario.c_str()), nullptr};

  int output[2] = {-1, -1};
  if (::pipe2(output, O_CLOEXEC) != 0) return {};
  const pid_t child = ::fork();
  if (child == 0) {
    ::dup2(output[1], 1);
    ::dup2(output[1], 2);
    ::chdir(folder.c_str());
    ::execve(argv[0], argv.data(), envp.data());
    ::_exit(127);
  }
  ::close(output[1]);

  Outcome outcome;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
  char buffer[4096];
  for (;;) {
    pollfd readable{output[0], POLLIN, 0};
    if (::poll(&readable, 1, 1000) > 0) {
      const ssize_t length = ::read(output[0], buffer, sizeof buffer);
      if (length <= 0) break;
      outcome.output.append(buffer, static_cast<std::size_t>(length));
    }
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(child, SIGKILL);
      outcome.output += "\n(killed after two minutes)";
      break;
    }
  }
  ::close(output[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
  outcome.log = readAll(logPath);
  std::filesystem::remove_all(folder);
  return outcome;
}

// The formats the program asked the device for, in order.
std::vector<std::string> formatsSet(const std::string& log) {
  std::vector<std::string> lines;
  std::istringstream in(log);
  for (std::string line; std::getline(in, line);)
    if (line.rfind("s_fmt ", 0) == 0) lines.push_back(line.substr(6));
  return lines;
}

}  // namespace

TEST(UserSpaceCamera, EachModelStreamsTheFormatItsProfileAsksForOrTheCamerasOwn) {
  struct Case {
    const char* card;
    const char* deviceFormat;
    const char* frame;                    // what the loop draws on
    std::vector<std::string> formatsSet;  // what the program sent
  };
  const Case cases[] = {
      // These profiles send nothing: the camera keeps what it has.
      {"vexa4.0", "MJPG 4000x3000", "frame 4000x3000 MJPG", {}},
      {"vexa3", "MJPG 3840x2160", "frame 3840x2160 MJPG", {}},
      {"vexa3", "YUYV 640x480", "frame 640x480 YUYV", {}},
      // These ask for their size in motion JPEG, once.
      {"vexa3.5", "YUYV 640x480", "frame 3840x2160 MJPG", {"MJPG 3840x2160"}},
      {"vexa2", "MJPG 640x480", "frame 3264x2448 MJPG", {"MJPG 3264x2448"}},
  };
  for (const Case& c : cases) {
    const Outcome run =
        runScenario("first-frames", {{"FAKEUVC_CARD", c.card}, {"FAKEUVC_FORMAT", c.deviceFormat}});
    EXPECT_EQ(run.exitCode, 0) << c.card << "\n" << run.output;
    EXPECT_NE(run.output.find(c.frame), std::string::npos) << c.card << " at " << c.deviceFormat << "\n"
                                                           << run.output;
    EXPECT_EQ(formatsSet(run.log), c.formatsSet) << c.card << " at " << c.deviceFormat;
  }
}

TEST(UserSpaceCamera, AReaderSlowerThanTheCameraGetsTheNewestFrameNotTheOldestQueued) {
  // 200 ms between reads is six frames at 30 per second; a first-in,
  // first-out read would give the next one each time.
  const Outcome run =
      runScenario("slow-reader", {{"FAKEUVC_CARD", "vexa4.0"}, {"FAKEUVC_FORMAT", "MJPG 1280x720"}});
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const auto at = run.output.find("sequence gaps ");
  ASSERT_NE(at, std::string::npos) << run.output;
  std::istringstream gaps(run.output.substr(at + 14));
  for (int i = 0; i < 5; ++i) {
    long gap = 0;
    ASSERT_TRUE(gaps >> gap) << run.output;
    EXPECT_GE(gap, 3) << run.output;
  }
  EXPECT_NE(run.output.find("frame 1280x720 MJPG"), std::string::npos) << run.output;
  EXPECT_TRUE(formatsSet(run.log).empty()) << run.log;
}

TEST(UserSpaceCamera, UnpluggedDuringARunKeepsThePictureAndClosesCleanly) {
  const Outcome run = runScenario(
      "unplug",
      {{"FAKEUVC_CARD", "vexa3"}, {"FAKEUVC_FORMAT", "MJPG 1280x720"}, {"FAKEUVC_FAULT", "unplug:45"}});
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output.find("FAIL"), std::string::npos) << run.output;
}

TEST(UserSpaceCamera, ACameraTheUserMayNotOpenOrThatIsInUseIsNamedAndTheProgramEndsWithZero) {
  struct Case {
    const char* fault;
    const char* box;
  };
  const Case cases[] = {
      {"eacces", "box: 异常 / 没有权限打开摄像头 /dev/video0，请将当前用户加入 video 组，然后注销并重新登录"},
      {"busy", "box: 异常 / 摄像头正被其他程序使用，请关闭该程序后重新打开应用程序"},
  };
  for (const Case& c : cases) {
    const Outcome run = runScenario(
        "start",
        {{"FAKEUVC_CARD", "vexa4.0"}, {"FAKEUVC_FORMAT", "MJPG 640x480"}, {"FAKEUVC_FAULT", c.fault}});
    EXPECT_EQ(run.exitCode, 0) << c.fault << "\n" << run.output;
    EXPECT_NE(run.output.find(c.box), std::string::npos) << c.fault << "\n" << run.output;
  }
}
