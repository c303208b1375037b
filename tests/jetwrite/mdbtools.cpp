// Child-process runner for the mdbtools programs and a parser for mdb-schema output.
#include "jetwrite/mdbtools.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <stdexcept>

extern char** environ;

namespace zl::jetwrite::testing {

namespace {

bool onPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    if (path == nullptr) return false;
    std::string remaining = path;
    std::size_t start = 0;
    while (start <= remaining.size()) {
        const std::size_t end = remaining.find(':', start);
        const std::string folder =
            remaining.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!folder.empty() && ::access((folder + "/" + program).c_str(), X_OK) == 0) return true;
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return false;
}

// Closes the descriptor when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (m_fd >= 0) ::close(m_fd);
    }
    int get() const { return m_fd; }

private:
    int m_fd;
};

}  // namespace

bool mdbtoolsInstalled() {
    for (const char* program :
         {"mdb-tables", "mdb-schema", "mdb-export", "mdb-queries", "mdb-prop", "mdb-ver"}) {
        if (!onPath(program)) return false;
    }
    return true;
}

std::string runMdbTool(const std::string& program, const std::vector<std::string>& arguments) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) throw std::runtime_error("cannot create a pipe");
    Descriptor readEnd(pipeEnds[0]);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    std::vector<std::string> argv{program};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> pointers;
    for (std::string& argument : argv) pointers.push_back(argument.data());
    pointers.push_back(nullptr);
    pid_t child = 0;
    const int spawned =
        ::posix_spawnp(&child, program.c_str(), &actions, nullptr, pointers.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    if (spawned != 0) throw std::runtime_error("cannot run " + program);
    std::string output;
    std::array<char, 65536> buffer{};
    ssize_t n = 0;
    while ((n = ::read(readEnd.get(), buffer.data(), buffer.size())) > 0)
        output.append(buffer.data(), static_cast<std::size_t>(n));
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(program + " failed");
    return output;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        result.push_back(line);
        start = end + 1;
    }
    return result;
}

std::vector<MdbColumn> mdbSchemaColumns(const std::filesystem::path& database,
                                        const std::string& table) {
    std::vector<MdbColumn> columns;
    for (const std::string& line : lines(runMdbTool(
             "mdb-schema", {"-T", table, "--no-not-null", database.string(), "access"}))) {
        // Column lines look like: TAB [name] TABs type, (the last one without the comma).
        if (line.size() < 3 || line[0] != '\t' || line[1] != '[') continue;
        const std::size_t close = line.rfind(
            ']', line.find('\t', 2) == std::string::npos ? line.size() : line.find('\t', 2));
        const std::size_t typeStart = line.find_first_not_of('\t', close + 1);
        if (close == std::string::npos || typeStart == std::string::npos) continue;
        std::string type = line.substr(typeStart);
        while (!type.empty() && (type.back() == ',' || type.back() == ' ')) type.pop_back();
        columns.push_back({line.substr(2, close - 2), type});
    }
    return columns;
}

}  // namespace zl::jetwrite::testing
