#pragma once
// Test harness: the real pbrain-velmor as a child process, talked to over
// pipes the way a manager does. Every wait has a time limit, so an engine
// that hangs fails the test instead of blocking the suite.
//
// The engine run is the build's own unless VELMOR_ENGINE names another
// command (split at blanks, e.g. "wine build-mingw/pbrain-velmor.exe"), so
// the same tests check the Windows build. VELMOR_ENGINE_STARTUP_MS adds that
// much to the waits that may include the engine's start-up or exit, for an
// engine that starts slowly (wine).
#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace velmor::test {

using Millis = std::chrono::milliseconds;

class EngineProcess {
public:
    enum class Input { Pipe, Terminal };
    // The engine's MESSAGE lines are for the person watching; a manager reads
    // past them, and so do the tests unless they ask for them.
    enum class Messages { Skip, Keep };
    using Clock = std::chrono::steady_clock;

    // Starts the engine; with Input::Terminal its standard input is a
    // pseudo-terminal, as when a person starts it from a console.
    explicit EngineProcess(Input input = Input::Pipe, Messages messages = Messages::Skip);
    explicit EngineProcess(Messages messages) : EngineProcess(Input::Pipe, messages) {}
    ~EngineProcess();
    EngineProcess(const EngineProcess&) = delete;
    EngineProcess& operator=(const EngineProcess&) = delete;

    bool started() const { return pid_ > 0; }

    // Writes raw bytes / one line with "\n". False if the engine stopped
    // reading (it exited, or stayed blocked past the limit).
    bool write(std::string_view bytes, Millis limit = Millis(10000));
    bool writeLine(std::string_view line) { return write(std::string(line) + "\n"); }
    bool writeLines(const std::vector<std::string>& lines);
    void closeInput();

    // The next output line without its newline; nothing on time-out or at
    // the end of output.
    std::optional<std::string> readLine(Millis limit = Millis(10000));
    // Every line up to the end of output; `complete` tells whether the end
    // came within the limit.
    std::vector<std::string> readAll(Millis limit, bool* complete = nullptr);
    // readLine with the moment the line arrived.
    std::optional<std::pair<std::string, Clock::time_point>> readTimedLine(Millis limit = Millis(10000));

    // The extra wait allowed for start-up and exit (VELMOR_ENGINE_STARTUP_MS).
    static Millis startupAllowance();
    // True when the engine is not the build's own (VELMOR_ENGINE is set).
    static bool foreignEngine();

    // The exit status (128 + signal number for a signal), or nothing if the
    // engine is still running when the limit passes.
    std::optional<int> waitExit(Millis limit = Millis(10000));

private:
    void readerLoop();

    pid_t pid_ = -1;
    int inputFd_ = -1;
    int outputFd_ = -1;
    bool reaped_ = false;
    int status_ = 0;
    std::thread reader_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::pair<std::string, Clock::time_point>> lines_;
    bool keepMessages_ = false;
    bool anyOutput_ = false;
    std::string partial_;
    bool outputEnded_ = false;
};

}  // namespace velmor::test
