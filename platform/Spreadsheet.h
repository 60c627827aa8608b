#pragma once

namespace pellorin {

// The spreadsheet application, driven through its automation interface.
class Spreadsheet {
public:
    virtual ~Spreadsheet() = default;
};

} // namespace pellorin
