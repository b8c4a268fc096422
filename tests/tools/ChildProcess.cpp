#include "tests/tools/ChildProcess.h"

#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

} // namespace

TChildProcess::TChildProcess(const std::string& program, const std::vector<std::string>& args,
                             const std::vector<std::string>& extraEnvironment) {
    std::vector<std::string> argv{program};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<std::string> envp;
    for (char** entry = environ; *entry != nullptr; ++entry)
        envp.emplace_back(*entry);
    envp.insert(envp.end(), extraEnvironment.begin(), extraEnvironment.end());
    std::vector<char*> argvPointers = Pointers(argv);
    std::vector<char*> envpPointers = Pointers(envp);

    int toChild[2];
    int fromChild[2];
    if (::pipe2(toChild, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    if (::pipe2(fromChild, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    m_pid = ::fork();
    if (m_pid < 0)
        throw std::runtime_error("fork failed");
    if (m_pid == 0) {
        ::dup2(toChild[0], STDIN_FILENO);
        ::dup2(fromChild[1], STDOUT_FILENO);
        ::execve(program.c_str(), argvPointers.data(), envpPointers.data());
        ::_exit(127);
    }
    ::close(toChild[0]);
    ::close(fromChild[1]);
    m_input = toChild[1];
    m_output = fromChild[0];
}

TChildProcess::~TChildProcess() {
    if (!m_waited) {
        Kill();
        Wait();
    }
    CloseInput();
    if (m_output >= 0)
        ::close(m_output);
}

bool TChildProcess::ReadLine(std::string& line, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const std::size_t end = m_buffer.find('\n');
        if (end != std::string::npos) {
            line = m_buffer.substr(0, end);
            m_buffer.erase(0, end + 1);
            return true;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || m_output < 0)
            return false;
        pollfd waitFor{m_output, POLLIN, 0};
        if (::poll(&waitFor, 1, static_cast<int>(left.count())) <= 0)
            continue;
        char chunk[4096];
        const ssize_t got = ::read(m_output, chunk, sizeof chunk);
        if (got <= 0)
            return false;
        m_buffer.append(chunk, static_cast<std::size_t>(got));
    }
}

bool TChildProcess::ReadUntil(const std::string& marker, std::vector<std::string>& lines, int timeoutMs) {
    std::string line;
    while (ReadLine(line, timeoutMs)) {
        if (line == marker)
            return true;
        lines.push_back(line);
    }
    return false;
}

void TChildProcess::WriteLine(const std::string& line) {
    const std::string text = line + "\n";
    if (::write(m_input, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
        throw std::runtime_error("write to child failed");
}

void TChildProcess::CloseInput() {
    if (m_input >= 0)
        ::close(m_input);
    m_input = -1;
}

void TChildProcess::Kill() {
    if (m_pid > 0 && !m_waited)
        ::kill(m_pid, SIGKILL);
}

int TChildProcess::Wait(int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!m_waited) {
        const pid_t done = ::waitpid(m_pid, &m_status, WNOHANG);
        if (done == m_pid || done < 0) {
            m_waited = true;
            break;
        }
        if (std::chrono::steady_clock::now() > deadline)
            Kill();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (WIFSIGNALED(m_status))
        return 128 + WTERMSIG(m_status);
    return WEXITSTATUS(m_status);
}
