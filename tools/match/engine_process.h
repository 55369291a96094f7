#pragma once
// One engine process driven over pipes the way a Gomoku manager drives it.
// It tells a silent engine from one whose output ended, and can be killed
// and started again between games.
#include <sys/types.h>

#include <chrono>
#include <string>

namespace velmor::match {

// The engine a tool drives unless told otherwise: the pbrain-velmor the build
// puts one folder above the tool itself (`argv0`).
inline std::string defaultEnginePath(const std::string& argv0) {
    const size_t slash = argv0.rfind('/');
    return (slash == std::string::npos ? std::string(".") : argv0.substr(0, slash)) + "/../pbrain-velmor";
}

class EngineProcess {
public:
    // `command` is run as is when it names a file, otherwise through
    // /bin/sh -c "exec ..." so that it may carry arguments.
    explicit EngineProcess(std::string command) : command_(std::move(command)) {}
    ~EngineProcess() { stop(); }
    EngineProcess(const EngineProcess&) = delete;
    EngineProcess& operator=(const EngineProcess&) = delete;

    bool start();
    bool running() const { return pid_ > 0; }
    // Sends END and gives the process `graceMs` to exit, then kills it.
    // Returns how it ended: its exit code, 128 + the signal that ended it,
    // or -1 when it had to be killed or was not running.
    int stop(int graceMs = 0);

    // False when the engine's input is closed (the process has died).
    bool send(const std::string& line);

    enum class Read { Line, Timeout, Closed };
    // Waits until `deadline` for the next line, its terminator removed.
    Read readLine(std::chrono::steady_clock::time_point deadline, std::string& line);

private:
    std::string command_;
    pid_t pid_ = -1;
    int input_ = -1;
    int output_ = -1;
    bool ended_ = false;
    std::string buffer_;
};

}  // namespace velmor::match
