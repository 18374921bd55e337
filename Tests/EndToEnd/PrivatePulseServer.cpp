// SPDX-License-Identifier: MIT
#include "EndToEnd/PrivatePulseServer.h"

#include <pulse/error.h>
#include <pulse/simple.h>

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <signal.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace clickory {

namespace fs = std::filesystem;

namespace {

std::string findProgram(const std::string& name)
{
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "/usr/bin:/bin");
    std::string dir;
    while (std::getline(dirs, dir, ':'))
    {
        const fs::path candidate = fs::path(dir.empty() ? "." : dir) / name;
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate.string();
    }
    return {};
}

bool socketAnswers(const fs::path& socketPath)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof(address.sun_path), "%s", socketPath.c_str());
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    ::close(fd);
    return ok;
}

} // namespace

PrivatePulseServer::PrivatePulseServer()
{
    std::string pattern = (fs::temp_directory_path() / "clickory-pulse-XXXXXX").string();
    if (::mkdtemp(pattern.data()))
        m_folder = pattern;
    fs::create_directories(m_folder / "runtime");
    fs::create_directories(m_folder / "state");
    fs::create_directories(m_folder / "config");
    std::ofstream(m_folder / "default.pa")
        << "load-module module-null-sink sink_name=" << sinkName
        << " rate=48000 format=float32le channels=2\n"
        << "set-default-sink " << sinkName << "\n"
        << "load-module module-native-protocol-unix auth-anonymous=1 socket=" << (m_folder / "native").string()
        << "\n";
    std::ofstream(m_folder / "client.conf") << "autospawn = no\n";
    // Everything in this process (the engine and the recorder) talks to this server only.
    ::setenv("PULSE_SERVER", ("unix:" + (m_folder / "native").string()).c_str(), 1);
    ::setenv("PULSE_CLIENTCONFIG", (m_folder / "client.conf").c_str(), 1);
    ::setenv("PULSE_RUNTIME_PATH", (m_folder / "runtime").c_str(), 1);
}

PrivatePulseServer::~PrivatePulseServer()
{
    stop();
    std::error_code error;
    fs::remove_all(m_folder, error);
}

bool PrivatePulseServer::start(std::string& error)
{
    const std::string program = findProgram("pulseaudio");
    if (program.empty())
    {
        error = "the pulseaudio program is not installed: install the Debian package \"pulseaudio\" "
                "(scripts/install-deps does)";
        return false;
    }
    if (m_folder.empty())
    {
        error = "could not make a temporary folder";
        return false;
    }
    std::error_code ignored;
    fs::remove(m_folder / "native", ignored);
    const std::string config = (m_folder / "default.pa").string();
    const std::string logPath = (m_folder / "daemon.log").string();
    const pid_t pid = ::fork();
    if (pid < 0)
    {
        error = "fork failed";
        return false;
    }
    if (pid == 0)
    {
        const int log = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        if (log >= 0)
        {
            ::dup2(log, 1);
            ::dup2(log, 2);
        }
        ::setenv("XDG_RUNTIME_DIR", (m_folder / "runtime").c_str(), 1);
        ::setenv("HOME", m_folder.c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (m_folder / "config").c_str(), 1);
        ::setenv("PULSE_STATE_PATH", (m_folder / "state").c_str(), 1);
        ::setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
        ::unsetenv("DISPLAY");
        ::execl(program.c_str(), "pulseaudio", "-n", "-F", config.c_str(), "--daemonize=no", "--exit-idle-time=-1",
                "--disallow-exit=yes", "--use-pid-file=no", "--system=no", "--realtime=no", "--high-priority=no",
                "--log-target=stderr", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    m_pid = pid;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline)
    {
        int status = 0;
        if (::waitpid(m_pid, &status, WNOHANG) == m_pid)
        {
            m_pid = -1;
            error = "pulseaudio exited at start:\n" + log();
            return false;
        }
        if (socketAnswers(m_folder / "native"))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    error = "pulseaudio did not open its socket in time:\n" + log();
    stop();
    return false;
}

void PrivatePulseServer::stop()
{
    if (m_pid <= 0)
        return;
    ::kill(m_pid, SIGTERM);
    for (int i = 0; i < 200; ++i)
    {
        if (::waitpid(m_pid, nullptr, WNOHANG) == m_pid)
        {
            m_pid = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill();
}

void PrivatePulseServer::kill()
{
    if (m_pid <= 0)
        return;
    ::kill(m_pid, SIGKILL);
    ::waitpid(m_pid, nullptr, 0);
    m_pid = -1;
}

std::string PrivatePulseServer::log() const
{
    std::ifstream in(m_folder / "daemon.log");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

MonitorRecorder::MonitorRecorder() : m_thread([this] { run(); }) {}

MonitorRecorder::~MonitorRecorder()
{
    m_stop = true;
    m_thread.join();
}

std::vector<float> MonitorRecorder::samples() const
{
    std::lock_guard lock(m_mutex);
    return m_samples;
}

void MonitorRecorder::clear()
{
    std::lock_guard lock(m_mutex);
    m_samples.clear();
}

void MonitorRecorder::run()
{
    const std::string device = std::string(PrivatePulseServer::sinkName) + ".monitor";
    while (!m_stop)
    {
        pa_sample_spec format{PA_SAMPLE_FLOAT32NE, 48000, 2};
        pa_buffer_attr attr{static_cast<std::uint32_t>(-1), 0, 0, 0, 256 * 8};
        int code = 0;
        pa_simple* stream = pa_simple_new(nullptr, "Clickory test recorder", PA_STREAM_RECORD, device.c_str(),
                                          "monitor", &format, nullptr, &attr, &code);
        if (!stream)
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            continue;
        }
        std::vector<float> chunk(256 * 2);
        while (!m_stop)
        {
            if (pa_simple_read(stream, chunk.data(), chunk.size() * sizeof(float), &code) < 0)
                break;
            m_capturing = true;
            std::lock_guard lock(m_mutex);
            m_samples.insert(m_samples.end(), chunk.begin(), chunk.end());
        }
        pa_simple_free(stream);
    }
}

} // namespace clickory
