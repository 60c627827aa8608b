#pragma once

#include "Output.h"

#include <memory>
#include <string>
#include <string_view>

namespace pellorin {

// What each system does for Output (Output.cpp, here, is the same for all):
// platform/posix/ and platform/windows/ each derive the file they write and
// define open().
struct Output::File {
    File() = default;
    virtual ~File() = default;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // Standard output when `fileName` is empty or "-". Throws OutputError.
    static std::unique_ptr<File> open(std::string fileName);

    virtual bool write(std::string_view bytes) = 0;
    virtual void commit() = 0;
};

} // namespace pellorin
