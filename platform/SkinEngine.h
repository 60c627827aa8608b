#pragma once

namespace pellorin {

// The skin engine that gives the main window the look of a skin file.
class SkinEngine {
public:
    virtual ~SkinEngine() = default;
};

} // namespace pellorin
