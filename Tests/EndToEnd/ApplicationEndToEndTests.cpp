// SPDX-License-Identifier: MIT
// The whole application as a user runs it: the `clickory` program in child processes under a
// private Xvfb, playing into a private PulseAudio null sink, with configuration, data and runtime
// folders of the test's own (the user's real settings are never touched).
#include "EndToEnd/PrivatePulseServer.h"
#include "Platform/XvfbServer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace clickory {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// One run of the program: its output so far, and its exit status once it ended.
class Program
{
public:
    Program(const std::vector<std::string>& arguments, const std::map<std::string, std::string>& environment)
    {
        int out[2];
        if (::pipe2(out, O_CLOEXEC) != 0)
            return;
        m_pid = ::fork();
        if (m_pid == 0)
        {
            ::dup2(out[1], STDOUT_FILENO);
            for (const auto& [name, value] : environment)
            {
                if (value.empty())
                    ::unsetenv(name.c_str());
                else
                    ::setenv(name.c_str(), value.c_str(), 1);
            }
            std::vector<char*> argv{const_cast<char*>(CLICKORY_BINARY)};
            for (const std::string& argument : arguments)
                argv.push_back(const_cast<char*>(argument.c_str()));
            argv.push_back(nullptr);
            ::execv(CLICKORY_BINARY, argv.data());
            ::_exit(127);
        }
        ::close(out[1]);
        m_out = out[0];
        ::fcntl(m_out, F_SETFL, O_NONBLOCK);
    }

    ~Program()
    {
        if (m_pid > 0 && !m_status)
        {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        if (m_out >= 0)
            ::close(m_out);
    }

    // Waits for the end; none when it did not end in time.
    std::optional<int> wait(std::chrono::milliseconds limit)
    {
        const auto deadline = Clock::now() + limit;
        while (!m_status)
        {
            drain();
            int status = 0;
            if (::waitpid(m_pid, &status, WNOHANG) == m_pid)
            {
                m_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
                break;
            }
            if (Clock::now() > deadline)
                return std::nullopt;
            std::this_thread::sleep_for(10ms);
        }
        drain();
        return m_status;
    }

    void terminate() { ::kill(m_pid, SIGTERM); }

    const std::string& output()
    {
        drain();
        return m_output;
    }

    std::vector<std::string> lines()
    {
        std::vector<std::string> result;
        std::istringstream stream(output());
        for (std::string line; std::getline(stream, line);)
            result.push_back(line);
        return result;
    }

private:
    void drain()
    {
        char buffer[4096];
        for (ssize_t n; (n = ::read(m_out, buffer, sizeof buffer)) > 0;)
            m_output.append(buffer, static_cast<std::size_t>(n));
    }

    pid_t m_pid = -1;
    int m_out = -1;
    std::string m_output;
    std::optional<int> m_status;
};

template <typename Condition>
bool waitUntil(Condition condition, std::chrono::milliseconds limit)
{
    const auto deadline = Clock::now() + limit;
    while (Clock::now() < deadline)
    {
        if (condition())
            return true;
        std::this_thread::sleep_for(20ms);
    }
    return condition();
}

class ApplicationEndToEnd : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_xvfb = new XvfbServer();
        ASSERT_TRUE(s_xvfb->start()) << s_xvfb->error();
        s_pulse = new PrivatePulseServer();
        std::string error;
        ASSERT_TRUE(s_pulse->start(error)) << error;
    }

    static void TearDownTestSuite()
    {
        delete s_pulse;
        delete s_xvfb;
        s_pulse = nullptr;
        s_xvfb = nullptr;
    }

    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "clickory-app-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_home = pattern;
        for (const char* folder : {"config", "data", "runtime"})
            fs::create_directories(m_home / folder);
        fs::permissions(m_home / "runtime", fs::perms::owner_all, fs::perm_options::replace);
    }

    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(m_home, ignored);
    }

    // The environment of every run: the private servers and folders; no Qt platform override, so
    // the program meets the X server as on a desktop.
    std::map<std::string, std::string> environment(std::map<std::string, std::string> extra = {}) const
    {
        std::map<std::string, std::string> env{
            {"DISPLAY", s_xvfb->displayName()},
            {"WAYLAND_DISPLAY", ""},
            {"QT_QPA_PLATFORM", ""},
            {"CLICKORY_INPUT", "x11"},
            {"XDG_CONFIG_HOME", (m_home / "config").string()},
            {"XDG_DATA_HOME", (m_home / "data").string()},
            {"XDG_RUNTIME_DIR", (m_home / "runtime").string()},
            {"HOME", m_home.string()},
            {"DBUS_SESSION_BUS_ADDRESS", "disabled:"},
            {"CLICKORY_ALLOW_INJECTION", ""},
        };
        for (auto& [name, value] : extra)
            env[name] = value;
        return env;
    }

    fs::path settingsFile() const { return m_home / "config" / "clickory" / "settings.json"; }
    fs::path socketFile() const { return m_home / "runtime" / "clickory.socket"; }

    std::optional<nlohmann::json> settings() const
    {
        std::ifstream file(settingsFile());
        if (!file)
            return std::nullopt;
        const auto document = nlohmann::json::parse(file, nullptr, false);
        if (document.is_discarded() || !document.contains("clickory.settings.v1"))
            return std::nullopt;
        return document["clickory.settings.v1"];
    }

    static inline XvfbServer* s_xvfb = nullptr;
    static inline PrivatePulseServer* s_pulse = nullptr;
    fs::path m_home;
};

float peak(const std::vector<float>& samples, std::size_t from = 0)
{
    float result = 0.0f;
    for (std::size_t i = from; i < samples.size(); ++i)
        result = std::max(result, std::abs(samples[i]));
    return result;
}

// What one self-test run printed and what the sink played meanwhile.
struct SelfTestRun
{
    std::vector<std::string> lines;
    std::vector<float> heard;
};

class ApplicationSelfTest : public ApplicationEndToEnd
{
protected:
    // Runs "--selftest" with the guard set and records the sink's monitor meanwhile.
    SelfTestRun runSelfTest(std::map<std::string, std::string> extra = {})
    {
        // Recording the sink's monitor makes the server's default source run, which the mute rule
        // takes for a microphone in use: this user has turned that rule off.
        fs::create_directories(settingsFile().parent_path());
        std::ofstream(settingsFile()) << R"({"clickory.settings.v1": {"muteWhenMicrophoneInUse": false},)"
                                      << R"( "clickory.defaultsVersion": 2, "clickory.onboarded": true})";
        MonitorRecorder recorder;
        EXPECT_TRUE(waitUntil([&] { return recorder.isCapturing(); }, 5000ms)) << "the sink's monitor records nothing";
        recorder.clear();
        extra["CLICKORY_ALLOW_INJECTION"] = "1";
        Program program({"--selftest"}, environment(extra));
        const auto status = program.wait(30000ms);
        EXPECT_TRUE(status) << "the self-test did not end: " << program.output();
        std::cout << program.output();
        EXPECT_EQ(status.value_or(-1), 0);
        return {program.lines(), recorder.samples()};
    }

    // The first sample louder than -40 dBFS, after the first half second; fails when there is none
    // or when sound came before any key was posted (nothing is posted before 1 s).
    static void expectSoundAfterTheKeys(const std::vector<float>& heard)
    {
        const std::size_t framesPerSecond = 48000 * 2;
        ASSERT_GT(heard.size(), framesPerSecond * 2) << "the capture is too short";
        const auto loud = std::find_if(heard.begin(), heard.end(), [](float s) { return std::abs(s) > 0.01f; });
        ASSERT_NE(loud, heard.end()) << "no sound came out of the sink (peak " << peak(heard) << ")";
        EXPECT_GT(static_cast<std::size_t>(loud - heard.begin()), framesPerSecond / 2)
            << "sound came out before any key was posted";
    }
};

TEST_F(ApplicationSelfTest, HearsEveryPostedEventAndPlaysTheRecordedDefaultIntoTheSink)
{
    const SelfTestRun run = runSelfTest();
    ASSERT_GE(run.lines.size(), 3u);
    EXPECT_TRUE(std::regex_match(run.lines[0], std::regex(R"(monitorStarted=true inputMonitoring=true latencyMs=[0-9]+\.[0-9] output=unknown)")))
        << run.lines[0];
    EXPECT_EQ(run.lines[1], "received: keyDown=4 keyUp=4 mouseDown=2 mouseUp=2 scroll=6");
    std::smatch played;
    ASSERT_TRUE(std::regex_search(run.lines[2], played, std::regex(R"(^sound: engineRunning=true .* played=([0-9]+)$)")))
        << run.lines[2];
    // Eight key sounds and four clicks at least; the scroll pacer may merge scroll steps.
    EXPECT_GE(std::stoi(played[1]), 12);
    // The default sound plays the shipped recordings: twelve key presses, ten releases.
    EXPECT_THAT(run.lines[2], testing::HasSubstr("keyDown=12r"));
    EXPECT_THAT(run.lines[2], testing::HasSubstr("keyUp=10r"));
    expectSoundAfterTheKeys(run.heard);
}

TEST_F(ApplicationSelfTest, PlaysTheCatRecordingsWhenThatProfileIsChosen)
{
    const SelfTestRun run = runSelfTest({{"CLICKORY_PROFILE", "cat"}});
    ASSERT_GE(run.lines.size(), 3u);
    EXPECT_EQ(run.lines[1], "received: keyDown=4 keyUp=4 mouseDown=2 mouseUp=2 scroll=6");
    EXPECT_THAT(run.lines[2], testing::HasSubstr("keyDown=3r"));
    expectSoundAfterTheKeys(run.heard);
}

TEST_F(ApplicationEndToEnd, StatusReportsInputAndTapThenExits)
{
    Program program({"--status"}, environment());
    ASSERT_EQ(program.wait(15000ms), 0) << program.output();
    EXPECT_EQ(program.lines(), (std::vector<std::string>{"inputMonitoringGranted=true", "tapCreated=true"}));
    // Nothing else started: no instance socket, no settings written.
    EXPECT_FALSE(fs::exists(socketFile()));
}

TEST_F(ApplicationEndToEnd, SelfTestRefusesWithoutTheGuard)
{
    for (const char* guard : {"", "0", "yes"})
    {
        Program program({"--selftest"}, environment({{"CLICKORY_ALLOW_INJECTION", guard}}));
        ASSERT_EQ(program.wait(15000ms), 2) << "guard '" << guard << "': " << program.output();
        EXPECT_EQ(program.lines(), (std::vector<std::string>{
                                       "--selftest types into whatever app is in front. Set "
                                       "CLICKORY_ALLOW_INJECTION=1 only on a machine nobody is using."}));
    }
}

TEST_F(ApplicationEndToEnd, ImportReportsAFailureWithStatusOneAndIgnoresAMissingPath)
{
    Program failed({"--import", (m_home / "no such pack").string()}, environment());
    ASSERT_EQ(failed.wait(15000ms), 1) << failed.output();
    ASSERT_EQ(failed.lines().size(), 1u) << failed.output();
    EXPECT_EQ(failed.lines()[0].rfind("import failed: ", 0), 0u) << failed.output();

    // Without a path the switch is ignored: the normal start follows, with its single instance.
    Program started({"--import"}, environment());
    ASSERT_TRUE(waitUntil([&] { return fs::exists(socketFile()); }, 15000ms)) << started.output();
    started.terminate();
    ASSERT_EQ(started.wait(10000ms), 0);
    EXPECT_EQ(started.output().find("import"), std::string::npos) << started.output();
    EXPECT_FALSE(fs::exists(socketFile()));
}

TEST_F(ApplicationEndToEnd, ASecondLaunchForwardsUrlCommandsToTheFirst)
{
    Program first({}, environment({{"CLICKORY_REPORT_LAUNCH", "1"}}));
    ASSERT_TRUE(waitUntil([&] { return first.output().find("launched:") != std::string::npos; }, 15000ms))
        << first.output();
    std::cout << first.output();
    ASSERT_TRUE(waitUntil([&] { return settings().has_value(); }, 5000ms));
    EXPECT_EQ(settings()->value("enabled", false), true);

    // "toggle" flips `enabled` in the running instance, and the sender ends with status 0 at once.
    Program toggle({"clickory://toggle"}, environment());
    ASSERT_EQ(toggle.wait(10000ms), 0);
    EXPECT_TRUE(waitUntil([&] { return settings()->value("enabled", true) == false; }, 5000ms));

    // Unknown commands and unknown sounds change nothing.
    const auto before = settings();
    for (const char* url : {"clickory://bogus", "clickory://sound/no-such-sound", "clickory:", "clickory://toggles"})
    {
        Program ignored({url}, environment());
        ASSERT_EQ(ignored.wait(10000ms), 0) << url;
    }
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(settings(), before);

    // A known sound switches to it; toggling again turns the sounds back on.
    Program sound({"clickory://sound/brown-bump"}, environment());
    ASSERT_EQ(sound.wait(10000ms), 0);
    EXPECT_TRUE(waitUntil([&] { return settings()->value("profileID", "") == "brown-bump"; }, 5000ms));
    Program again({"clickory://toggle"}, environment());
    ASSERT_EQ(again.wait(10000ms), 0);
    EXPECT_TRUE(waitUntil([&] { return settings()->value("enabled", false) == true; }, 5000ms));

    // A plain second launch asks the first to reopen (its settings window) and ends.
    Program reopen({}, environment());
    ASSERT_EQ(reopen.wait(10000ms), 0);

    first.terminate();
    EXPECT_EQ(first.wait(10000ms), 0);
}

TEST_F(ApplicationEndToEnd, WithoutADesktopTheProgramSaysSoAndFails)
{
    Program program({}, environment({{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}}));
    const auto status = program.wait(10000ms);
    ASSERT_TRUE(status);
    EXPECT_NE(*status, 0);
    EXPECT_TRUE(program.output().empty());
}

TEST_F(ApplicationEndToEnd, BenchPrintsItsFourLines)
{
    Program program({"--bench"}, environment());
    const auto status = program.wait(60000ms);
    ASSERT_TRUE(status) << program.output();
    std::cout << program.output();
    EXPECT_EQ(*status, 0);
    const auto lines = program.lines();
    ASSERT_EQ(lines.size(), 4u) << program.output();
    EXPECT_TRUE(std::regex_match(lines[0], std::regex(R"(start: footprint [0-9]+\.[0-9] MB)"))) << lines[0];
    EXPECT_TRUE(std::regex_match(lines[1], std::regex(R"(active   cpu [0-9]+\.[0-9]{2}% of one core   footprint [0-9]+\.[0-9] MB)")))
        << lines[1];
    EXPECT_TRUE(std::regex_match(lines[2], std::regex(R"(idle     cpu [0-9]+\.[0-9]{2}% of one core   footprint [0-9]+\.[0-9] MB)")))
        << lines[2];
    EXPECT_TRUE(std::regex_match(lines[3], std::regex(R"(first sound after idle: engine resume took [0-9]+\.[0-9] ms)")))
        << lines[3];
}

} // namespace
} // namespace clickory
