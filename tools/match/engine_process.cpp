#include "match/engine_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;

namespace velmor::match {

bool EngineProcess::start() {
    stop();
    // A dead engine must fail our write, not kill the whole match.
    signal(SIGPIPE, SIG_IGN);
    int toEngine[2], fromEngine[2];
    if (pipe2(toEngine, O_CLOEXEC) != 0) return false;
    if (pipe2(fromEngine, O_CLOEXEC) != 0) {
        close(toEngine[0]);
        close(toEngine[1]);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toEngine[0], 0);
    posix_spawn_file_actions_adddup2(&actions, fromEngine[1], 1);
    // Its own process group, so that killing a shell-started engine takes
    // its children along.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);

    struct stat info;
    std::string program = command_, shell = "/bin/sh", dashC = "-c", script = "exec " + command_;
    char* direct[] = {program.data(), nullptr};
    char* viaShell[] = {shell.data(), dashC.data(), script.data(), nullptr};
    const bool isFile = stat(command_.c_str(), &info) == 0;
    char** argv = isFile ? direct : viaShell;
    if (posix_spawn(&pid_, argv[0], &actions, &attributes, argv, environ) != 0) pid_ = -1;
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    close(toEngine[0]);
    close(fromEngine[1]);
    if (pid_ <= 0) {
        close(toEngine[1]);
        close(fromEngine[0]);
        pid_ = -1;
        return false;
    }
    input_ = toEngine[1];
    output_ = fromEngine[0];
    ended_ = false;
    buffer_.clear();
    return true;
}

int EngineProcess::stop(int graceMs) {
    if (pid_ <= 0) return -1;
    if (graceMs > 0) send("END");
    if (input_ >= 0) close(input_);
    input_ = -1;
    int result = -1;
    bool reaped = false;
    for (int waited = 0; waited < graceMs && !reaped; waited += 10) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            reaped = true;
            result = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        } else {
            usleep(10000);
        }
    }
    if (!reaped) {
        kill(-pid_, SIGKILL);
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    if (output_ >= 0) close(output_);
    output_ = -1;
    pid_ = -1;
    return result;
}

bool EngineProcess::send(const std::string& line) {
    if (input_ < 0) return false;
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

EngineProcess::Read EngineProcess::readLine(std::chrono::steady_clock::time_point deadline, std::string& line) {
    for (;;) {
        const size_t eol = buffer_.find('\n');
        if (eol != std::string::npos) {
            line = buffer_.substr(0, eol);
            buffer_.erase(0, eol + 1);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            return Read::Line;
        }
        if (ended_ || output_ < 0) return Read::Closed;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
        if (left <= 0) return Read::Timeout;
        pollfd p{output_, POLLIN, 0};
        const int ready = poll(&p, 1, int(left) + 1);
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) continue;
        char chunk[4096];
        const ssize_t n = read(output_, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ended_ = true;
            continue;
        }
        buffer_.append(chunk, size_t(n));
    }
}

}  // namespace velmor::match
