#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace pellorin {

// A write that failed: what() names the file and gives the system's reason.
class OutputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Where the output goes: standard output, or a file. Standard output takes
// the bytes as they are, with no line-end translation. An ordinary file is
// written under a temporary name in its folder (or none at all) and put in
// its place by commit(): a failed, interrupted or killed run leaves any old
// file as it was and no temporary file behind. A read-only file is refused.
// What each system adds (links, modes and owners on POSIX; files held open by
// other programs on Windows) is told beside its implementation.
class Output {
public:
    // Standard output when `fileName` (UTF-8) is empty or "-". Throws
    // OutputError.
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

    // Call once at start. An interrupt (SIGINT, or Ctrl+C and Ctrl+Break in
    // a Windows console) and the other signals that end a run take any
    // temporary file away and end the program as the signal would, status
    // 128 + its number; a signal the caller ignored (nohup, a script's trap)
    // stays ignored. A closed pipe shows as a failed write instead of ending
    // the program, and so does a file size limit. Standard input, output and
    // error carry bytes untranslated.
    static void installSignalHandling();

private:
    // The system's side: handles, names and how the file is being written.
    struct File;
    std::unique_ptr<File> m_file;
};

// Reads standard input (an empty name or "-") or the file `fileName` (UTF-8)
// in chunks of up to 64 KiB, handing each to `onChunk` until the end or until
// it returns false. Returns the system's reason when reading fails, or an
// empty text.
std::string readInChunks(
    const std::string& fileName, const std::function<bool(std::string_view chunk)>& onChunk);

// An ordinary file, read at any offset by several threads at once.
class InputFile {
public:
    // The file `fileName` (UTF-8) when it is an ordinary file that opens;
    // none for standard input, a pipe, a device or a file that does not open
    // (readInChunks reads, or reports, those).
    static std::unique_ptr<InputFile> open(const std::string& fileName);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Its size when opened.
    std::uint64_t size() const noexcept { return m_size; }

    // Reads up to `size` bytes at `offset` into `into`, fewer only at the end
    // of the file, and returns how many. When reading fails, returns what it
    // read so far and sets `failure` to the system's reason.
    std::size_t readAt(std::uint64_t offset, char* into, std::size_t size, std::string& failure);

private:
    struct Handle;
    InputFile(std::unique_ptr<Handle> handle, std::uint64_t size) noexcept;

    std::unique_ptr<Handle> m_handle;
    std::uint64_t m_size;
};

} // namespace pellorin
