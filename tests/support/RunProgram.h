#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace pellorin::test {

// A program started as a user would start it from a shell, without Qt:
// its standard input, output and error are pipes this side holds.
class SpawnedProgram {
public:
    // `environment` entries ("NAME=value") are added to this process's own.
    SpawnedProgram(const std::string& program, const std::vector<std::string>& arguments,
        const std::vector<std::string>& environment = {});
    ~SpawnedProgram();
    SpawnedProgram(const SpawnedProgram&) = delete;
    SpawnedProgram& operator=(const SpawnedProgram&) = delete;

    pid_t pid() const { return m_pid; }
    int outputFd() const { return m_out; }

    // Closes this side of standard output, as a reader that had enough does.
    void closeOutput();

    // Feeds `input` and closes standard input, gathers both outputs until the
    // program ends, and returns its exit status, or 128 + the signal that
    // ended it.
    int finish(const std::string& input = {});

    std::string out;
    std::string err;

private:
    pid_t m_pid = -1;
    int m_in = -1;
    int m_out = -1;
    int m_err = -1;
};

struct ProgramRun {
    int status = -1;
    std::string out;
    std::string err;
};

ProgramRun runProgram(const std::string& program, const std::vector<std::string>& arguments,
    const std::string& input = {}, const std::vector<std::string>& environment = {});

} // namespace pellorin::test
