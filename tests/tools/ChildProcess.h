// A child process for tests that need a second program: started with pipes on its standard
// input and output, read line by line, ended by closing its input or by SIGKILL.
#pragma once

#include <string>
#include <vector>

#include <sys/types.h>

class TChildProcess {
public:
    // Starts program with args; the child inherits this process's environment plus the
    // NAME=VALUE entries of extraEnvironment. Throws std::runtime_error when it cannot start.
    TChildProcess(const std::string& program, const std::vector<std::string>& args,
                  const std::vector<std::string>& extraEnvironment = {});
    ~TChildProcess();
    TChildProcess(const TChildProcess&) = delete;
    TChildProcess& operator=(const TChildProcess&) = delete;

    // The next line of the child's output without its line break; false at the end of the
    // output or after timeoutMs without a whole line.
    bool ReadLine(std::string& line, int timeoutMs = 10000);
    // Reads lines until one equal to marker; every line before it is added to lines.
    bool ReadUntil(const std::string& marker, std::vector<std::string>& lines, int timeoutMs = 10000);

    void WriteLine(const std::string& line);
    void CloseInput();
    void Kill();
    // Waits for the child (at most timeoutMs, then kills it) and answers its exit code, or
    // 128 + signal number when a signal ended it.
    int Wait(int timeoutMs = 10000);

private:
    pid_t m_pid = -1;
    int m_input = -1;
    int m_output = -1;
    std::string m_buffer;
    bool m_waited = false;
    int m_status = 0;
};
