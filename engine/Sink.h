#pragma once

#include <string_view>

namespace pellorin::engine {

// Where the engine writes its bytes: a file, a pipe, a page's buffer.
class Sink {
public:
    virtual ~Sink() = default;

    // Takes `bytes` whole. Returns false when the reader has gone away, after
    // which the engine writes nothing more; a failure worth reporting is the
    // sink's to throw.
    virtual bool write(std::string_view bytes) = 0;
};

} // namespace pellorin::engine
