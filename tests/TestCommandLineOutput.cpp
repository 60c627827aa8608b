// pellorin-cli generate --output as scripts use it: what is left on disk
// after signals, limits and kills, and files that are links, shared, owned
// by others or in folders that take no new file.

#include "CommandLineRun.h"
#include "OutputFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string_view>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace pellorin;
using test::cli;
using test::OutputFolder;
using test::ProgramRun;
using test::shell;
namespace fs = std::filesystem;

// Long enough to be still running whenever a signal comes.
const char* const kEndless = "100000000000";

// Bytes the process has written so far.
std::uint64_t bytesWritten(pid_t pid)
{
    std::ifstream io("/proc/" + std::to_string(pid) + "/io");
    for (std::string key; io >> key;) {
        std::uint64_t value = 0;
        io >> value;
        if (key == "wchar:")
            return value;
    }
    return 0;
}

class EndedBySignal : public testing::TestWithParam<int> { };

// A signal that ends the run, caught or not, leaves the old file and nothing
// else: the new one has no name until it is complete.
TEST_P(EndedBySignal, LeavesTheOldFileAndNoTemporaryFile)
{
    const OutputFolder folder;
    test::SpawnedProgram program(
        test::cliProgram(), { "generate", "-n", kEndless, "-o", folder.file().string() });
    for (int i = 0; i < 4000 && bytesWritten(program.pid()) < (std::uint64_t { 4 } << 20); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_GE(bytesWritten(program.pid()), std::uint64_t { 4 } << 20);
    ::kill(program.pid(), GetParam());
    EXPECT_EQ(program.finish(), 128 + GetParam());
    EXPECT_EQ(OutputFolder::content(folder.file()), "old\n");
    EXPECT_EQ(folder.names(), "numbers.txt ");
}

INSTANTIATE_TEST_SUITE_P(Signals, EndedBySignal,
    testing::Values(SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGKILL),
    [](const auto& info) { return std::string(sigabbrev_np(info.param)); });

TEST(FileSizeLimit, TheWriteFailsWithItsReasonAndLeavesTheOldFile)
{
    const OutputFolder folder;
    const ProgramRun run = shell(
        "ulimit -f 1000; exec \"$CLI\" generate -n 10000000 -o '" + folder.file().string() + "'");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(
        run.err, "pellorin-cli: cannot write '" + folder.file().string() + "': File too large\n");
    EXPECT_EQ(OutputFolder::content(folder.file()), "old\n");
    EXPECT_EQ(folder.names(), "numbers.txt ");
}

struct DispositionCase {
    const char* name;
    const char* before; // shell commands before the run
    const char* wrapper; // the command pellorin-cli runs under
    const char* signal;
    const char* outcome; // what the script below prints
};

void PrintTo(const DispositionCase& c, std::ostream* os)
{
    *os << c.name;
}

class SignalDisposition : public testing::TestWithParam<DispositionCase> { };

// A run in the background of a script, sent a signal. Right after the kill
// the process's own table says whether it ignores that signal: one it ignores
// is told "alive" and ended by TERM; any other must end the process, which is
// waited for (a bound only against a hang: "alive" again).
TEST_P(SignalDisposition, AnIgnoredSignalStaysIgnored)
{
    const DispositionCase& c = GetParam();
    int number = 1;
    while (number < NSIG
        && (sigabbrev_np(number) == nullptr || std::string_view(sigabbrev_np(number)) != c.signal))
        ++number;
    const OutputFolder folder;
    const ProgramRun run = shell(std::string("cd '") + folder.path().string() + "' && " + c.before
        + c.wrapper + " \"$CLI\" generate -n " + kEndless
        + " -o numbers.txt & pid=$!\n"
        // Once the process runs pellorin-cli, not the shell or wrapper
        // before it, and writes numbers, past its start-up.
        + "cli=$(readlink -f \"$CLI\"); i=0\n"
        + "written() { sed -n 's/^wchar: //p' /proc/$pid/io 2>/dev/null || echo 0; }\n"
        + "while { [ \"$(readlink /proc/$pid/exe)\" != \"$cli\" ] || [ \"$(written)\" -lt 65536 ]; "
          "}"
          " && [ $i -lt 400 ]; do\n"
        + "  sleep 0.05; i=$((i + 1))\ndone\n" + "kill -" + c.signal + " $pid\n"
        + "ignored=$(sed -n 's/^SigIgn:[[:space:]]*//p' /proc/$pid/status 2>/dev/null)\n"
        + "running() { case $(sed 's/.*) //' /proc/$pid/stat 2>/dev/null) in ''|Z*) return 1;; "
          "esac; }\n"
        + "if [ $(((0x${ignored:-0} >> " + std::to_string(number - 1) + ") & 1)) = 0 ]; then\n"
        + "  i=0; while running && [ $i -lt 200 ]; do sleep 0.05; i=$((i + 1)); done\n" + "fi\n"
        + "running && echo alive && kill -TERM $pid\n" + "wait $pid; echo \"status $?\"");
    EXPECT_EQ(run.out, c.outcome) << run.err;
    EXPECT_EQ(OutputFolder::content(folder.file()), "old\n");
    EXPECT_EQ(folder.names(), "numbers.txt ");
}

INSTANTIATE_TEST_SUITE_P(Scripts, SignalDisposition,
    testing::Values(DispositionCase { "nohup_HUP", "", "nohup", "HUP", "alive\nstatus 143\n" },
        DispositionCase { "trap_INT", "trap '' INT; ", "", "INT", "alive\nstatus 143\n" },
        // A shell without job control starts background commands with INT
        // and QUIT ignored.
        DispositionCase { "background_QUIT", "", "", "QUIT", "alive\nstatus 143\n" },
        DispositionCase { "HUP_not_ignored", "", "", "HUP", "status 129\n" }),
    [](const auto& info) { return std::string(info.param.name); });

bool root()
{
    return ::geteuid() == 0;
}

// Who runs a row: the superuser could write any folder, so a row about a
// folder that refuses new files runs as nobody when the tests run as root.
constexpr uid_t kNobody = 65534;

struct FileCase {
    const char* name;
    // Prepares the folder; returns the --output argument.
    std::function<std::string(const OutputFolder&)> prepare;
    // Checks the folder once the run succeeded.
    std::function<void(const OutputFolder&, const std::string& numbers)> verify;
    bool asNobody = false;
};

void PrintTo(const FileCase& c, std::ostream* os)
{
    *os << c.name;
}

class OutputFiles : public testing::TestWithParam<FileCase> { };

TEST_P(OutputFiles, WrittenAsAShellRedirectWouldAndReplacedWhole)
{
    const FileCase& c = GetParam();
    const OutputFolder folder;
    const std::string output = c.prepare(folder);
    const std::string numbers = cli({ "generate", "-s", "4", "-n", "3" }).out;
    const std::string as = c.asNobody && root() ? "setpriv --reuid=" + std::to_string(kNobody)
            + " --regid=" + std::to_string(kNobody) + " --clear-groups "
                                                : "";
    const ProgramRun run = shell("cd '" + folder.path().string() + "' && " + as
        + "\"$CLI\" generate -s 4 -n 3 -o '" + output + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    c.verify(folder, output == "-" ? run.out : numbers);
}

const std::string kLongName = std::string(251, 'n') + ".txt";

INSTANTIATE_TEST_SUITE_P(Files, OutputFiles,
    testing::Values(FileCase { "name_of_255_bytes", [](const OutputFolder&) { return kLongName; },
                        [](const OutputFolder& f, const std::string& numbers) {
                            EXPECT_EQ(OutputFolder::content(f.path() / kLongName), numbers);
                            EXPECT_EQ(f.names(), kLongName + " numbers.txt ");
                        } },
        FileCase { "symlink_written_through",
            [](const OutputFolder& f) {
                fs::create_symlink("numbers.txt", f.path() / "link");
                return std::string("link");
            },
            [](const OutputFolder& f, const std::string& numbers) {
                EXPECT_TRUE(fs::is_symlink(f.path() / "link"));
                EXPECT_EQ(OutputFolder::content(f.file()), numbers);
                EXPECT_EQ(f.names(), "link numbers.txt ");
            } },
        FileCase { "hard_link_shared",
            [](const OutputFolder& f) {
                fs::create_hard_link(f.file(), f.path() / "other");
                return std::string("numbers.txt");
            },
            [](const OutputFolder& f, const std::string& numbers) {
                EXPECT_EQ(OutputFolder::content(f.path() / "other"), numbers);
                EXPECT_EQ(fs::hard_link_count(f.file()), 2u);
            } },
        FileCase { "mode_and_owner_kept",
            [](const OutputFolder& f) {
                ::chmod(f.file().c_str(), 0640);
                if (root()) {
                    EXPECT_EQ(::chown(f.file().c_str(), kNobody, kNobody), 0);
                }
                return std::string("numbers.txt");
            },
            [](const OutputFolder& f, const std::string& numbers) {
                EXPECT_EQ(OutputFolder::content(f.file()), numbers);
                struct stat after { };
                ASSERT_EQ(::stat(f.file().c_str(), &after), 0);
                EXPECT_EQ(after.st_mode & 07777, 0640u);
                EXPECT_EQ(after.st_uid, root() ? kNobody : ::geteuid());
            } },
        FileCase { "writable_file_in_a_folder_that_takes_no_new_file",
            [](const OutputFolder& f) {
                fs::create_directory(f.path() / "closed");
                std::ofstream(f.path() / "closed" / "numbers.txt") << "old\n";
                if (root()) {
                    EXPECT_EQ(
                        ::chown((f.path() / "closed" / "numbers.txt").c_str(), kNobody, kNobody),
                        0);
                }
                ::chmod((f.path() / "closed").c_str(), 0555);
                return std::string("closed/numbers.txt");
            },
            [](const OutputFolder& f, const std::string& numbers) {
                EXPECT_EQ(OutputFolder::content(f.path() / "closed" / "numbers.txt"), numbers);
                EXPECT_EQ(f.names(), "closed closed/numbers.txt numbers.txt ");
            },
            true },
        FileCase { "dash_is_standard_output", [](const OutputFolder&) { return std::string("-"); },
            [](const OutputFolder& f, const std::string& out) {
                EXPECT_EQ(out, cli({ "generate", "-s", "4", "-n", "3" }).out);
                EXPECT_EQ(f.names(), "numbers.txt ");
            } }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OutputFile, ReplacedWhenCompleteWithTheSameBytesAsStandardOutput)
{
    const OutputFolder folder;
    const ProgramRun run
        = cli({ "generate", "-s", "4", "-n", "30000", "-o", folder.file().string() });
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(
        OutputFolder::content(folder.file()), cli({ "generate", "-s", "4", "-n", "30000" }).out);
    EXPECT_EQ(folder.names(), "numbers.txt ");
}

} // namespace
