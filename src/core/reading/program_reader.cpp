#include "reading/program_reader.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <vector>

#include "reading/phoneme_names.hpp"

extern char** environ;

namespace vantro::reading {

namespace {

// The separator as the program's --sep option takes it.
constexpr const char* kSeparatorOption = "--sep=\xE2\x90\x9F";

struct Pipe {
    int fd[2] = {-1, -1};
    ~Pipe() {
        for (int f : fd)
            if (f >= 0) ::close(f);
    }
    void close_end(int i) {
        if (fd[i] >= 0) ::close(fd[i]);
        fd[i] = -1;
    }
};

std::vector<std::string> lines_of(const std::string& out) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < out.size()) {
        std::size_t end = out.find('\n', start);
        if (end == std::string::npos) end = out.size();
        std::string line = out.substr(start, end - start);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        std::size_t lead = 0;
        while (lead < line.size() && line[lead] == ' ') ++lead;
        if (lead < line.size()) lines.push_back(line.substr(lead));
        start = end + 1;
    }
    return lines;
}

}  // namespace

ProgramContextReader::ProgramContextReader(std::string voice, std::string program, std::chrono::milliseconds timeout)
    : voice_(std::move(voice)),
      language_(voice_.substr(0, voice_.find_first_of("-_+"))),
      program_(std::move(program)),
      timeout_(timeout) {}

std::string ProgramContextReader::run(const std::string& clause, const char* mode_flag) const {
    Pipe out;
    if (::pipe2(out.fd, O_CLOEXEC) != 0) throw ProgramReaderError("eSpeak-NG : impossible de créer un tube.");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out.fd[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    std::vector<std::string> args = {program_, "-v", voice_, "-q", mode_flag, kSeparatorOption, clause};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int rc = ::posix_spawnp(&pid, program_.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc == ENOENT || rc == EACCES)
        throw ProgramReaderError("Le programme " + program_ +
                                 " est introuvable. Installez-le (sudo apt install espeak-ng).");
    if (rc != 0) throw ProgramReaderError("Le programme " + program_ + " n'a pas pu être lancé : " + std::strerror(rc));
    out.close_end(1);

    std::string text;
    char buf[4096];
    const auto deadline = std::chrono::steady_clock::now() + timeout_;
    bool timed_out = false;
    while (true) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            timed_out = true;
            break;
        }
        pollfd p{out.fd[0], POLLIN, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) {
            timed_out = ready == 0;
            break;
        }
        const ssize_t n = ::read(out.fd[0], buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        text.append(buf, static_cast<std::size_t>(n));
    }
    if (timed_out) ::kill(pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (timed_out) throw ProgramReaderError("Le programme " + program_ + " n'a pas répondu à temps.");
    return text;
}

void ProgramContextReader::read(const std::string& clause, SpokenClause& out) {
    // A clause goes to the program as one argument: a very long one (a text
    // without punctuation) is read in pieces cut between words.
    constexpr std::size_t kLongest = 64 * 1024;
    if (clause.size() > kLongest) {
        std::size_t start = 0;
        while (start < clause.size()) {
            std::size_t end = std::min(clause.size(), start + kLongest);
            if (end < clause.size()) {
                const std::size_t space = clause.rfind(' ', end);
                end = space != std::string::npos && space > start ? space : end;
                // Never inside a character: a UTF-8 continuation byte stays with its start.
                while (end > start + 1 && (static_cast<unsigned char>(clause[end]) & 0xC0) == 0x80) --end;
            }
            read_piece(clause.substr(start, end - start), out);
            start = end;
            while (start < clause.size() && clause[start] == ' ') ++start;
        }
        return;
    }
    read_piece(clause, out);
}

void ProgramContextReader::read_piece(const std::string& clause, SpokenClause& out) {
    // Its own table of names (espeak-ng's names, learned as the library reader learns them).
    static PhonemeNames names;
    static std::mutex mutex;
    const std::vector<std::string> named = lines_of(run(clause, "-x"));
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (names.convert_all(named, language_, out)) return;
    }
    const std::vector<std::string> ipa = lines_of(run(clause, "--ipa"));
    std::lock_guard<std::mutex> lock(mutex);
    names.learn_and_convert(named, ipa, language_, out);
}

}  // namespace vantro::reading
