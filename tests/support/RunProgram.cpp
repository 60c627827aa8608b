#include "RunProgram.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <string_view>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>

extern char** environ;

namespace pellorin::test {

namespace {

void closeFd(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace

SpawnedProgram::SpawnedProgram(const std::string& program,
    const std::vector<std::string>& arguments, const std::vector<std::string>& environment)
{
    // A program that ends before reading all its input must not end the
    // test with it.
    std::signal(SIGPIPE, SIG_IGN);
    int in[2], out[2], err[2];
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    // The child starts with default signal handling, whatever this side has.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t all;
    sigfillset(&all);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);

    std::vector<std::string> argv { program };
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> argp;
    argp.reserve(argv.size() + 1);
    for (std::string& a : argv)
        argp.push_back(a.data());
    argp.push_back(nullptr);
    // A variable the test sets replaces the inherited one, not stands beside
    // it: a shell takes the last of two, so a build's own SOURCE_DATE_EPOCH
    // would otherwise win over the test's pinned date.
    std::vector<std::string> env(environment);
    const auto nameOf = [](std::string_view entry) { return entry.substr(0, entry.find('=')); };
    for (char** e = environ; *e != nullptr; ++e) {
        const bool replaced = std::any_of(environment.begin(), environment.end(),
            [&](const std::string& set) { return nameOf(set) == nameOf(*e); });
        if (!replaced)
            env.emplace_back(*e);
    }
    std::vector<char*> envp;
    envp.reserve(env.size() + 1);
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    const int spawned
        = posix_spawn(&m_pid, program.c_str(), &actions, &attributes, argp.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    m_in = in[1];
    m_out = out[0];
    m_err = err[0];
    if (spawned != 0)
        throw std::runtime_error("cannot start " + program);
}

SpawnedProgram::~SpawnedProgram()
{
    closeFd(m_in);
    closeFd(m_out);
    closeFd(m_err);
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
}

void SpawnedProgram::closeOutput()
{
    closeFd(m_out);
}

int SpawnedProgram::finish(const std::string& input)
{
    // Writing the input while draining both outputs keeps either side from
    // blocking on a full pipe.
    std::size_t written = 0;
    if (input.empty())
        closeFd(m_in);
    std::array<char, 65536> buffer {};
    while (m_in >= 0 || m_out >= 0 || m_err >= 0) {
        std::array<pollfd, 3> fds { { { m_in, POLLOUT, 0 }, { m_out, POLLIN, 0 },
            { m_err, POLLIN, 0 } } };
        if (::poll(fds.data(), fds.size(), -1) < 0 && errno != EINTR)
            break;
        if (m_in >= 0 && fds[0].revents != 0) {
            const ssize_t n = ::write(m_in, input.data() + written, input.size() - written);
            if (n > 0)
                written += std::size_t(n);
            if (n < 0 || written == input.size())
                closeFd(m_in);
        }
        for (auto [index, fd, text] :
            { std::tuple { 1, &m_out, &out }, std::tuple { 2, &m_err, &err } }) {
            if (*fd < 0 || fds[std::size_t(index)].revents == 0)
                continue;
            const ssize_t n = ::read(*fd, buffer.data(), buffer.size());
            if (n > 0)
                text->append(buffer.data(), std::size_t(n));
            else
                closeFd(*fd);
        }
    }
    int status = 0;
    ::waitpid(m_pid, &status, 0);
    m_pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

ProgramRun runProgram(const std::string& program, const std::vector<std::string>& arguments,
    const std::string& input, const std::vector<std::string>& environment)
{
    SpawnedProgram spawned(program, arguments, environment);
    ProgramRun run;
    run.status = spawned.finish(input);
    run.out = std::move(spawned.out);
    run.err = std::move(spawned.err);
    return run;
}

} // namespace pellorin::test
