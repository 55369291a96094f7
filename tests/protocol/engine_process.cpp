#include "protocol/engine_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <sstream>

extern char** environ;

namespace velmor::test {

namespace {

// Writing to an engine that has already ended must fail the write, not kill
// the test process.
void ignoreSigpipe() {
    static bool once = [] {
        signal(SIGPIPE, SIG_IGN);
        return true;
    }();
    (void)once;
}

// The engine's command line: VELMOR_ENGINE split at blanks, or the build's
// engine.
std::vector<std::string> engineCommand() {
    const char* command = std::getenv("VELMOR_ENGINE");
    if (!command || !*command) return {VELMOR_ENGINE_PATH};
    std::vector<std::string> words;
    std::istringstream in(command);
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

bool isMessage(const std::string& line) { return line.rfind("MESSAGE", 0) == 0; }

}  // namespace

Millis EngineProcess::startupAllowance() {
    const char* ms = std::getenv("VELMOR_ENGINE_STARTUP_MS");
    return Millis(ms ? std::atoi(ms) : 0);
}

bool EngineProcess::foreignEngine() {
    const char* command = std::getenv("VELMOR_ENGINE");
    return command && *command;
}

EngineProcess::EngineProcess(Input input, Messages messages) : keepMessages_(messages == Messages::Keep) {
    ignoreSigpipe();
    int toEngine[2] = {-1, -1}, fromEngine[2] = {-1, -1};
    if (pipe2(fromEngine, O_CLOEXEC) != 0) return;
    int childInput = -1;
    if (input == Input::Pipe) {
        if (pipe2(toEngine, O_CLOEXEC) != 0) return;
        childInput = toEngine[0];
        inputFd_ = toEngine[1];
    } else {
        int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return;
        childInput = open(ptsname(master), O_RDWR | O_NOCTTY | O_CLOEXEC);
        inputFd_ = master;
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, childInput, 0);
    posix_spawn_file_actions_adddup2(&actions, fromEngine[1], 1);
    std::vector<std::string> words = engineCommand();
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    if (posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(childInput);
    close(fromEngine[1]);
    outputFd_ = fromEngine[0];
    fcntl(inputFd_, F_SETFL, fcntl(inputFd_, F_GETFL) | O_NONBLOCK);
    if (pid_ > 0) reader_ = std::thread(&EngineProcess::readerLoop, this);
}

EngineProcess::~EngineProcess() {
    if (pid_ > 0 && !reaped_) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status_, 0);
    }
    closeInput();
    if (reader_.joinable()) reader_.join();
    if (outputFd_ >= 0) close(outputFd_);
}

void EngineProcess::readerLoop() {
    const bool foreign = foreignEngine();
    char buffer[4096];
    for (;;) {
        ssize_t n = read(outputFd_, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        std::lock_guard lock(mutex_);
        if (n <= 0) {
            if (!partial_.empty() && (keepMessages_ || !isMessage(partial_)))
                lines_.push_back({std::move(partial_), Clock::now()});
            outputEnded_ = true;
            changed_.notify_all();
            return;
        }
        const Clock::time_point now = Clock::now();
        anyOutput_ = true;
        for (ssize_t i = 0; i < n; ++i) {
            if (buffer[i] == '\n') {
                // A Windows build writes its lines in text mode, ending them
                // with CR LF; managers there read both.
                if (foreign && !partial_.empty() && partial_.back() == '\r') partial_.pop_back();
                if (keepMessages_ || !isMessage(partial_)) lines_.push_back({std::move(partial_), now});
                partial_.clear();
            } else {
                partial_ += buffer[i];
            }
        }
        changed_.notify_all();
    }
}

bool EngineProcess::write(std::string_view bytes, Millis limit) {
    if (inputFd_ < 0) return false;
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (!bytes.empty()) {
        ssize_t n = ::write(inputFd_, bytes.data(), bytes.size());
        if (n > 0) {
            bytes.remove_prefix(std::size_t(n));
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
        auto left = std::chrono::duration_cast<Millis>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd p{inputFd_, POLLOUT, 0};
        poll(&p, 1, int(std::min<long long>(left.count(), 100)));
    }
    return true;
}

bool EngineProcess::writeLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return write(text);
}

void EngineProcess::closeInput() {
    if (inputFd_ >= 0) close(inputFd_);
    inputFd_ = -1;
}

std::optional<std::pair<std::string, EngineProcess::Clock::time_point>> EngineProcess::readTimedLine(Millis limit) {
    std::unique_lock lock(mutex_);
    if (!anyOutput_) limit += startupAllowance();
    changed_.wait_for(lock, limit, [this] { return !lines_.empty() || outputEnded_; });
    if (lines_.empty()) return std::nullopt;
    auto line = std::move(lines_.front());
    lines_.pop_front();
    return line;
}

std::optional<std::string> EngineProcess::readLine(Millis limit) {
    auto line = readTimedLine(limit);
    if (!line) return std::nullopt;
    return std::move(line->first);
}

std::vector<std::string> EngineProcess::readAll(Millis limit, bool* complete) {
    std::unique_lock lock(mutex_);
    bool ended = changed_.wait_for(lock, limit + startupAllowance(), [this] { return outputEnded_; });
    if (complete) *complete = ended;
    std::vector<std::string> all;
    for (auto& line : lines_) all.push_back(std::move(line.first));
    lines_.clear();
    return all;
}

std::optional<int> EngineProcess::waitExit(Millis limit) {
    if (pid_ <= 0) return std::nullopt;
    auto deadline = std::chrono::steady_clock::now() + limit + startupAllowance();
    while (!reaped_) {
        pid_t r = waitpid(pid_, &status_, WNOHANG);
        if (r == pid_) {
            reaped_ = true;
            break;
        }
        if (std::chrono::steady_clock::now() > deadline) return std::nullopt;
        std::this_thread::sleep_for(Millis(5));
    }
    if (WIFEXITED(status_)) return WEXITSTATUS(status_);
    if (WIFSIGNALED(status_)) return 128 + WTERMSIG(status_);
    return std::nullopt;
}

}  // namespace velmor::test
