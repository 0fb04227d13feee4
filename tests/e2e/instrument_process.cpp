#include "instrument_process.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace {

// Waits for the child to end; -1 when it did not within `wait`.
int WaitForExit(pid_t pid, std::chrono::milliseconds wait, int& status) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (std::chrono::steady_clock::now() < deadline) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid)
            return 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return -1;
}

} // namespace

InstrumentProcess::InstrumentProcess(const std::string& program,
                                     const std::vector<std::string>& arguments) {
    int pipeEnds[2];
    int panelEnds[2];
    if (pipe(pipeEnds) != 0 || pipe(panelEnds) != 0)
        throw std::runtime_error("cannot make a pipe");
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    pid_ = fork();
    if (pid_ == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        dup2(panelEnds[0], STDIN_FILENO);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        close(panelEnds[0]);
        close(panelEnds[1]);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(pipeEnds[1]);
    close(panelEnds[0]);
    output_ = pipeEnds[0];
    panel_ = panelEnds[1];
    if (pid_ < 0)
        throw std::runtime_error("cannot start " + program);

    // Reads the first line of its output, the "ready" line.
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (line.find('\n') == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd readable{output_, POLLIN, 0};
        char buffer[256];
        ssize_t got = 0;
        if (left.count() <= 0 || poll(&readable, 1, static_cast<int>(left.count())) <= 0 ||
            (got = read(output_, buffer, sizeof buffer)) <= 0) {
            Stop();
            throw std::runtime_error(program + " did not report ready");
        }
        line.append(buffer, static_cast<std::size_t>(got));
    }
    if (line.rfind("ready", 0) != 0) {
        Stop();
        throw std::runtime_error(program + " said: " + line);
    }
}

bool InstrumentProcess::PlayPanel(const std::string& command) {
    const std::string line = command + "\n";
    return panel_ >= 0 &&
           write(panel_, line.data(), line.size()) == static_cast<ssize_t>(line.size());
}

InstrumentProcess::~InstrumentProcess() {
    Stop();
}

int InstrumentProcess::Stop() {
    if (pid_ <= 0)
        return -1;
    const pid_t pid = pid_;
    pid_ = -1;
    kill(pid, SIGTERM);
    int status = 0;
    if (WaitForExit(pid, std::chrono::seconds(10), status) != 0) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        status = -1;
    }
    if (output_ >= 0) {
        close(output_);
        output_ = -1;
    }
    if (panel_ >= 0) {
        close(panel_);
        panel_ = -1;
    }
    return status >= 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int InstrumentProcess::WaitForEnd(std::chrono::milliseconds wait) {
    if (pid_ <= 0)
        return -1;
    int status = 0;
    if (WaitForExit(pid_, wait, status) != 0)
        return Stop(), -1;
    pid_ = -1;
    if (output_ >= 0) {
        close(output_);
        output_ = -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::string& folder) {
    const std::string outFile = folder + "/run.out";
    const std::string errFile = folder + "/run.err";
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        const int out = open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    if (pid < 0)
        throw std::runtime_error("cannot start " + program);
    int status = 0;
    waitpid(pid, &status, 0);
    const auto slurp = [](const std::string& path) {
        std::ifstream file(path);
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    };
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, slurp(outFile), slurp(errFile)};
}
