// pellorin-cli.exe's files and help under Wine, where Windows differs from
// Linux: the temporary file goes with the process by its delete disposition,
// another program can hold a file against replacement, a replaced file's
// attributes go to the new one, names cross the system in UTF-16, and the
// help speaks of cmd and PowerShell. Run only through tests/windows/wine-test.sh, which points the
// program under test at the Windows build.

#include "CommandLineRun.h"
#include "OutputFolder.h"
#include "ParamName.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace pellorin;
using test::cli;
using test::OutputFolder;
using test::ProgramRun;
namespace fs = std::filesystem;

// Waits a bounded while for something another process does; the caller
// asserts on the outcome, never on the time.
bool eventually(const std::function<bool()>& done)
{
    for (int i = 0; i < 4000 && !done(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return done();
}

// The size of the run's temporary file, 0 while there is none.
std::uintmax_t temporarySize(const OutputFolder& folder)
{
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(folder.path(), ignored)) {
        if (entry.path().filename().string().starts_with(".pellorin-"))
            return entry.file_size(ignored);
    }
    return 0;
}

struct EndCase {
    const char* name;
    int signal; // what Wine turns into Ctrl+C (SIGINT) or an abrupt end
};

class EndedRun : public testing::TestWithParam<EndCase> { };

// Ctrl+C ends the run with a Linux run's status for INT; a killed process
// takes its temporary file with it through the delete disposition, which
// the wine server honours as Windows does.
TEST_P(EndedRun, LeavesTheOldFileAndNothingElse)
{
    const OutputFolder folder;
    test::SpawnedProgram program(
        test::cliProgram(), { "generate", "-n", "100000000000", "-o", folder.file().string() });
    ASSERT_TRUE(eventually([&] { return temporarySize(folder) >= (std::uintmax_t { 4 } << 20); }));
    ::kill(program.pid(), GetParam().signal);
    EXPECT_EQ(program.finish(), 128 + GetParam().signal);
    EXPECT_TRUE(eventually([&] { return folder.names() == "numbers.txt "; })) << folder.names();
    EXPECT_EQ(OutputFolder::content(folder.file()), "old\n");
}

INSTANTIATE_TEST_SUITE_P(Ends, EndedRun,
    testing::Values(EndCase { "ctrl_c", SIGINT }, EndCase { "killed", SIGKILL }),
    [](const auto& info) { return std::string(info.param.name); });

bool root()
{
    return ::geteuid() == 0;
}

// A folder that takes no new file. The superuser's Wine could write into a
// folder without write permission, but not into an immutable one.
class ClosedFolder {
public:
    explicit ClosedFolder(fs::path folder)
        : m_folder(std::move(folder))
    {
        fs::create_directory(m_folder);
        std::ofstream(m_folder / "numbers.txt") << "old\n";
        m_closed = root() ? std::system(("chattr +i '" + m_folder.string() + "'").c_str()) == 0
                          : ::chmod(m_folder.c_str(), 0555) == 0;
    }
    ~ClosedFolder()
    {
        if (root())
            (void)!std::system(("chattr -i '" + m_folder.string() + "' 2>/dev/null").c_str());
    }
    ClosedFolder(const ClosedFolder&) = delete;
    ClosedFolder& operator=(const ClosedFolder&) = delete;

    bool closed() const { return m_closed; }

private:
    fs::path m_folder;
    bool m_closed = false;
};

// Wine's loader, as tests/windows/wine-test.sh names it.
std::string wine64()
{
    const char* wine = std::getenv("PELLORIN_WINE64");
    return wine != nullptr ? wine : "/usr/lib/wine/wine64";
}

// Holds a file open in another Windows program, sharing it for reading
// only, or for everything (reading, writing, deletion).
class HeldByAnotherProgram {
public:
    explicit HeldByAnotherProgram(const fs::path& file, bool shared = false)
        : m_holder(wine64(),
            shared ? std::vector<std::string> { PELLORIN_HOLD_FILE, file.string(), "shared" }
                   : std::vector<std::string> { PELLORIN_HOLD_FILE, file.string() })
    {
        char c = 0;
        while (m_said.size() < 5 && ::read(m_holder.outputFd(), &c, 1) == 1)
            m_said += c;
        m_held = m_said == "held\n";
    }
    ~HeldByAnotherProgram() { m_holder.finish(); }
    HeldByAnotherProgram(const HeldByAnotherProgram&) = delete;
    HeldByAnotherProgram& operator=(const HeldByAnotherProgram&) = delete;

    bool held() const { return m_held; }
    const std::string& said() const { return m_said; }

private:
    test::SpawnedProgram m_holder;
    std::string m_said;
    bool m_held = false;
};

struct RefusalCase {
    const char* name;
    const char* output; // in the folder
    const char* reason;
};

void PrintTo(const RefusalCase& c, std::ostream* os)
{
    *os << c.name;
}

class RefusedOutput : public testing::TestWithParam<RefusalCase> { };

// Refused before any number is made, in one line, and nothing changes: the
// folder, whose time changes with every file made in it, never held a
// temporary file.
TEST_P(RefusedOutput, OneLineNamingTheFileAndTheOldFileStays)
{
    const RefusalCase& c = GetParam();
    const OutputFolder folder;
    const ClosedFolder closed(folder.path() / "closed");
    ASSERT_TRUE(closed.closed());
    const std::string before = folder.names();
    std::optional<HeldByAnotherProgram> holder;
    if (std::string(c.name) == "read_only_file")
        fs::permissions(folder.file(), fs::perms::owner_read | fs::perms::group_read);
    if (std::string(c.name).starts_with("file_in_use")) {
        holder.emplace(folder.file(), std::string(c.name).ends_with("sharing_everything"));
        ASSERT_TRUE(holder->held()) << holder->said();
    }
    const auto folderTime = fs::last_write_time(folder.path());
    const std::string output = (folder.path() / c.output).string();
    const ProgramRun run = cli({ "generate", "-n", "1000", "-o", output });
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "pellorin-cli: cannot write '" + output + "': " + c.reason + "\n");
    EXPECT_EQ(folder.names(), before);
    EXPECT_EQ(fs::last_write_time(folder.path()), folderTime) << "a temporary file was made";
    EXPECT_EQ(OutputFolder::content(folder.file()), "old\n");
}

INSTANTIATE_TEST_SUITE_P(Files, RefusedOutput,
    testing::Values(RefusalCase { "read_only_file", "numbers.txt", "the file is read-only" },
        RefusalCase { "file_in_use", "numbers.txt", "the file is in use by another program" },
        RefusalCase { "file_in_use_sharing_everything", "numbers.txt",
            "the file is in use by another program" },
        RefusalCase { "new_file_in_a_closed_folder", "closed/new.txt",
            "the folder does not let this user create files" }),
    [](const auto& info) { return std::string(info.param.name); });

// As on Linux: where no temporary file can be made, a writable file is
// written in place.
TEST(OutputFile, AWritableFileInAClosedFolderIsWrittenInPlace)
{
    const OutputFolder folder;
    const ClosedFolder closed(folder.path() / "closed");
    ASSERT_TRUE(closed.closed());
    const fs::path file = folder.path() / "closed" / "numbers.txt";
    const ProgramRun run = cli({ "generate", "-s", "4", "-n", "3", "-o", file.string() });
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(OutputFolder::content(file), cli({ "generate", "-s", "4", "-n", "3" }).out);
}

// What Windows' own attrib.exe says of `file`: its attribute letters.
std::string attributesOf(const fs::path& file)
{
    std::string windowsPath = "Z:" + file.string();
    std::replace(windowsPath.begin(), windowsPath.end(), '/', '\\');
    const ProgramRun run = test::runProgram(wine64(), { "attrib", windowsPath });
    return run.out.substr(0, run.out.find("Z:"));
}

// Windows' attrib.exe sets one attribute a call under Wine.
void setAttribute(const fs::path& file, const std::string& attribute)
{
    std::string windowsPath = "Z:" + file.string();
    std::replace(windowsPath.begin(), windowsPath.end(), '/', '\\');
    test::runProgram(wine64(), { "attrib", attribute, windowsPath });
}

// The new file takes the attributes Explorer shows of the one it replaces.
TEST(OutputFile, KeepsTheReplacedFilesAttributes)
{
    const OutputFolder folder;
    setAttribute(folder.file(), "+h");
    setAttribute(folder.file(), "+s");
    const std::string before = attributesOf(folder.file());
    ASSERT_NE(before.find('H'), std::string::npos) << before;
    ASSERT_NE(before.find('S'), std::string::npos) << before;
    const ProgramRun run = cli({ "generate", "-s", "4", "-n", "3", "-o", folder.file().string() });
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(attributesOf(folder.file()), before);
    EXPECT_EQ(OutputFolder::content(folder.file()), cli({ "generate", "-s", "4", "-n", "3" }).out);
}

class WindowsHelp : public testing::TestWithParam<std::vector<std::string>> { };

// /? is --help, as on Windows' own programs; the texts tell cmd and
// PowerShell users what is true for them, and nothing of POSIX.
TEST_P(WindowsHelp, SaysNothingTrueOnlyOfPosix)
{
    std::vector<std::string> asked = GetParam();
    const ProgramRun run = cli(asked);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find(".\\pellorin-cli.exe "), std::string::npos) << run.out;
    for (const char* posix : { "printf", "/dev", "symlink is written through", "signal", "mode and",
             "owner", "| head", "kill" })
        EXPECT_EQ(run.out.find(posix), std::string::npos) << posix << " in\n" << run.out;
    std::replace(asked.begin(), asked.end(), std::string("/?"), std::string("--help"));
    EXPECT_EQ(run.out, cli(asked).out);
}

INSTANTIATE_TEST_SUITE_P(Asked, WindowsHelp,
    testing::Values(std::vector<std::string> { "/?" },
        std::vector<std::string> { "generate", "/?" }, std::vector<std::string> { "check", "/?" },
        std::vector<std::string> { "brands", "/?" }),
    [](const auto& info) { return info.param.size() == 1 ? "program" : info.param.front(); });

// What --output does to links is said where it is done.
TEST(WindowsOutputHelp, SaysWhatOutputDoesToLinksAndAttributes)
{
    std::string help = cli({ "generate", "--help" }).out;
    std::replace(help.begin(), help.end(), '\n', ' ');
    for (const char* said :
        { "Links are replaced, not followed", "keeps the old one's attributes" })
        EXPECT_NE(help.find(said), std::string::npos) << said << " not in\n" << help;
}

class Utf8FileName : public testing::TestWithParam<const char*> { };

// Written and read back under its own name, and named in messages as given.
TEST_P(Utf8FileName, WrittenReadAndNamedAsGiven)
{
    const OutputFolder folder;
    const fs::path file = folder.path() / GetParam();
    const ProgramRun written = cli({ "generate", "-s", "4", "-n", "3", "-o", file.string() });
    ASSERT_EQ(written.status, 0) << written.err;
    EXPECT_TRUE(fs::is_regular_file(file));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 2);
    EXPECT_EQ(OutputFolder::content(file), cli({ "generate", "-s", "4", "-n", "3" }).out);

    const ProgramRun checked = cli({ "check", file.string() });
    EXPECT_EQ(checked.status, 0);
    EXPECT_EQ(checked.err, "pellorin-cli check: 3 numbers: 3 valid, 0 invalid\n");
    const std::string missing = (folder.path() / ("no-" + std::string(GetParam()))).string();
    EXPECT_EQ(cli({ "check", missing }).err,
        "pellorin-cli check: cannot read '" + missing
            + "': No such file or directory\npellorin-cli check: no numbers read\n");
}

INSTANTIATE_TEST_SUITE_P(Names, Utf8FileName,
    testing::Values("naïve café.txt", "номера.txt", "番号.txt", "emoji-😀.txt"),
    [](const auto& info) { return "name" + std::to_string(info.index); });

} // namespace
