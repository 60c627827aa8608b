#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace pellorin {

// A write that failed: what() names the file and gives the system's reason.
class OutputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Where the output goes: standard output, or a file. An ordinary file is
// written into an unnamed file in its folder, or where the file system
// refuses those into a hidden temporary one, and put in its place by
// commit(): a failed, interrupted or killed run leaves any old file as it
// was and no temporary file behind. A symlink is followed to the file it
// names; the new file keeps the old one's mode, and its owner where this
// process may set it. Two cases are written in place, as a shell's `>`
// writes, and are left cut short by a failed run: a file with more than one
// hard link (so that every name sees the new content) and a writable file
// in a folder that refuses new files. A device or pipe is written directly.
class Output {
public:
    // Standard output when `fileName` is empty or "-". Throws OutputError.
    explicit Output(std::string fileName);
    ~Output();
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    // Writes all of `bytes`. Returns false when the reader has gone away (a
    // closed pipe), which ends the output without an error. Throws
    // OutputError for any other failure.
    bool write(std::string_view bytes);

    // Makes the file complete: flushed to disk and in its place.
    void commit();

    // Removes a named temporary file on SIGINT, SIGTERM, SIGHUP and SIGQUIT
    // before the signal ends the program as usual; a signal the caller
    // ignored (nohup, a script's trap) stays ignored. A closed pipe shows as
    // a failed write instead of ending the program, and so does a file size
    // limit (EFBIG). Call once at start.
    static void installSignalHandling();

private:
    enum class Mode { Direct, Unnamed, Named, InPlace };

    [[noreturn]] void fail(int error) const;
    // 0, or the system's reason why the folder takes no temporary file.
    int openTemporary(const std::string& folder);
    void openInPlace();
    void keepOwnerAndMode(bool exists, unsigned owner, unsigned group, unsigned mode);

    std::string m_name; // as given, for messages
    std::string m_target; // the file itself, symlinks followed
    std::string m_folder; // the target's folder, "" or ending in '/'
    std::string m_temporary; // a named temporary file, while there is one
    Mode m_mode = Mode::Direct;
    int m_fd = 1;
};

// Reads standard input (an empty name or "-") or the file `fileName` in
// chunks of up to 64 KiB, handing each to `onChunk` until the end or until
// it returns false. Returns the system's reason when reading fails, or an
// empty text.
std::string readInChunks(
    const std::string& fileName, const std::function<bool(std::string_view chunk)>& onChunk);

} // namespace pellorin
