#include "GenerateRun.h"

#include "OrderedWriter.h"
#include "Output.h"

#include <pellorin/generate.h>

namespace pellorin::cli {

bool runGenerate(const GenerateCommand& command, Output& output)
{
    const output_blocks blocks(command.asked);
    return writeInOrder(
        blocks.size(), blocks.in_order() ? 1U : command.threads,
        [&](std::uint64_t block, ByteBuffer& out) { out.append(blocks.make(block)); },
        [&](std::string_view bytes) { return output.write(bytes); });
}

} // namespace pellorin::cli
