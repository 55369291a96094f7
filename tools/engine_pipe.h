#pragma once
// A brain started as a child process and driven over pipes, the way a
// Gomoku manager drives it; used by the developer tools that play or pose
// positions through the real protocol. POSIX only.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "board/pos.h"

extern char** environ;

namespace velmor::tools {

// A point as the protocol writes it: "x,y".
inline std::string point(Pos p) { return std::to_string(p.x()) + "," + std::to_string(p.y()); }

// The engine a tool drives unless told otherwise: the one the build puts one
// folder above the tool's own (`argv0`).
inline std::string defaultEnginePath(const std::string& argv0) {
    const size_t slash = argv0.rfind('/');
    return (slash == std::string::npos ? std::string(".") : argv0.substr(0, slash)) + "/../pbrain-velmor";
}

class EnginePipe {
public:
    explicit EnginePipe(const std::string& path) {
        signal(SIGPIPE, SIG_IGN);  // an engine that died fails the write instead
        int toEngine[2], fromEngine[2];
        if (pipe2(toEngine, O_CLOEXEC) != 0 || pipe2(fromEngine, O_CLOEXEC) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, toEngine[0], 0);
        posix_spawn_file_actions_adddup2(&actions, fromEngine[1], 1);
        std::string program = path;
        char* argv[] = {program.data(), nullptr};
        if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv, environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(toEngine[0]);
        close(fromEngine[1]);
        input_ = toEngine[1];
        output_ = fromEngine[0];
    }
    ~EnginePipe() {
        if (input_ >= 0) close(input_);
        if (pid_ > 0 && !reaped_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (output_ >= 0) close(output_);
    }
    EnginePipe(const EnginePipe&) = delete;
    EnginePipe& operator=(const EnginePipe&) = delete;

    bool started() const { return pid_ > 0; }

    bool send(const std::string& line) {
        std::string text = line + "\n";
        const char* p = text.data();
        size_t left = text.size();
        while (left > 0) {
            ssize_t n = write(input_, p, left);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            p += n;
            left -= size_t(n);
        }
        return true;
    }

    // Sends `moves` (played alternately from the first) as a BOARD block, each
    // marked as the engine's own stone or its opponent's for an engine that is
    // `toMove` (0: the first player). The caller sends DONE, so that it can
    // start its clock right before the engine begins to think.
    void sendBoard(const std::vector<Pos>& moves, int toMove) {
        send("BOARD");
        for (size_t i = 0; i < moves.size(); ++i) send(point(moves[i]) + (int(i % 2) == toMove ? ",1" : ",2"));
    }

    // The next line without its terminator, or nothing when `limitMs` passes
    // first or the engine's output ends.
    std::optional<std::string> readLine(int limitMs) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
        for (;;) {
            size_t eol = buffer_.find('\n');
            if (eol != std::string::npos) {
                std::string line = buffer_.substr(0, eol);
                buffer_.erase(0, eol + 1);
                if (!line.empty() && line.back() == '\r') line.pop_back();
                return line;
            }
            if (ended_) return std::nullopt;
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline -
                                                                                    std::chrono::steady_clock::now());
            if (left.count() <= 0) return std::nullopt;
            pollfd p{output_, POLLIN, 0};
            int ready = poll(&p, 1, int(left.count()));
            if (ready < 0 && errno == EINTR) continue;
            if (ready <= 0) continue;
            char chunk[4096];
            ssize_t n = read(output_, chunk, sizeof chunk);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                ended_ = true;
                continue;
            }
            buffer_.append(chunk, size_t(n));
        }
    }

    // Closes the engine's input and waits for its exit status (-1 when it
    // has not ended within `limitMs`).
    int finish(int limitMs) {
        if (input_ >= 0) {
            close(input_);
            input_ = -1;
        }
        for (int waited = 0; waited <= limitMs; waited += 10) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                reaped_ = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            usleep(10000);
        }
        return -1;
    }

private:
    pid_t pid_ = -1;
    int input_ = -1;
    int output_ = -1;
    bool ended_ = false;
    bool reaped_ = false;
    std::string buffer_;
};

}  // namespace velmor::tools
