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
// written under a temporary name beside it and renamed over it by commit(),
// so a failed or interrupted run leaves any old file as it was and no
// temporary file behind. A device or pipe is written directly.
class Output {
public:
    // Standard output when `fileName` is empty. Throws OutputError.
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

    // Removes the temporary file on SIGINT, SIGTERM and SIGHUP before the
    // signal ends the program as usual, and lets a closed pipe show as a
    // failed write instead of ending the program. Call once at start.
    static void installSignalHandling();

private:
    [[noreturn]] void fail(int error) const;

    std::string m_name;
    std::string m_temporary;
    int m_fd = 1;
};

// Reads standard input (an empty name or "-") or the file `fileName` in
// chunks of up to 64 KiB, handing each to `onChunk` until the end or until
// it returns false. Returns the system's reason when reading fails, or an
// empty text.
std::string readInChunks(
    const std::string& fileName, const std::function<bool(std::string_view chunk)>& onChunk);

} // namespace pellorin
