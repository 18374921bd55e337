// SPDX-License-Identifier: MIT
#include "Platform/XvfbServer.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace clickory {
namespace {

bool onPath(const std::string& program)
{
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path != nullptr ? path : "/usr/bin:/bin");
    std::string dir;
    while (std::getline(dirs, dir, ':'))
    {
        if (::access((dir + "/" + program).c_str(), X_OK) == 0)
        {
            return true;
        }
    }
    return false;
}

} // namespace

bool XvfbServer::start(std::optional<int> displayNumber, double timeoutSeconds)
{
    stop();
    m_error.clear();
    if (!onPath("Xvfb"))
    {
        m_error = "Xvfb is not installed: install the Debian package xvfb (scripts/install-deps does)";
        return false;
    }
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
    {
        m_error = std::string("pipe failed: ") + std::strerror(errno);
        return false;
    }
    const pid_t pid = ::fork();
    if (pid < 0)
    {
        m_error = std::string("fork failed: ") + std::strerror(errno);
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        return false;
    }
    if (pid == 0)
    {
        // The child: keep the write end open across exec, silence the server's chatter.
        ::close(pipeFds[0]);
        const int writeFd = ::dup(pipeFds[1]);  // without O_CLOEXEC
        const int devNull = ::open("/dev/null", O_WRONLY);
        if (devNull >= 0)
        {
            ::dup2(devNull, STDOUT_FILENO);
            ::dup2(devNull, STDERR_FILENO);
        }
        std::vector<std::string> args{"Xvfb"};
        if (displayNumber)
        {
            args.push_back(":" + std::to_string(*displayNumber));
        }
        // -noreset: without it the server resets whenever its last client leaves, and a test that
        // connects in that moment is refused.
        for (const char* arg : {"-displayfd", "", "-noreset", "-nolisten", "tcp", "-screen", "0", "1280x800x24"})
        {
            args.emplace_back(arg);
        }
        args[displayNumber ? 3 : 2] = std::to_string(writeFd);
        std::vector<char*> argv;
        for (std::string& arg : args)
        {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        ::execvp("Xvfb", argv.data());
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    m_pid = pid;

    // Xvfb writes the display number once it accepts connections.
    std::string answer;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSeconds);
    while (answer.find('\n') == std::string::npos)
    {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
        {
            m_error = "Xvfb did not start within " + std::to_string(timeoutSeconds) + " s";
            break;
        }
        pollfd pfd{pipeFds[0], POLLIN, 0};
        if (::poll(&pfd, 1, static_cast<int>(left.count())) <= 0)
        {
            continue;
        }
        char buffer[32];
        const ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer);
        if (n <= 0)
        {
            m_error = "Xvfb ended before it was ready (is the display in use?)";
            break;
        }
        answer.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(pipeFds[0]);
    if (!m_error.empty())
    {
        stop();
        return false;
    }
    m_display = std::atoi(answer.c_str());
    return true;
}

void XvfbServer::stop()
{
    if (m_pid <= 0)
    {
        return;
    }
    ::kill(m_pid, SIGTERM);
    int status = 0;
    for (int i = 0; i < 500; ++i)
    {
        if (::waitpid(m_pid, &status, WNOHANG) == m_pid)
        {
            m_pid = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::kill(m_pid, SIGKILL);
    ::waitpid(m_pid, &status, 0);
    m_pid = -1;
}

} // namespace clickory
