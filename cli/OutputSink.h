#pragma once

#include "Output.h"
#include "Sink.h"

namespace pellorin::cli {

// The engine's sink over the command line's output; its failures are
// thrown as OutputError.
class OutputSink final : public engine::Sink {
public:
    explicit OutputSink(Output& output) noexcept
        : m_output(output)
    {
    }

    bool write(std::string_view bytes) override { return m_output.write(bytes); }

private:
    Output& m_output;
};

} // namespace pellorin::cli
