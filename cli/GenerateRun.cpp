#include "GenerateRun.h"

#include "ByteBuffer.h"
#include "Generator.h"
#include "OrderedWriter.h"
#include "Output.h"

namespace pellorin::cli {

bool runGenerate(
    const GenerateCommand& command, std::uint64_t seed, engine::MonthIndex now, Output& output)
{
    const engine::Generator generator(command.request, seed, now);
    return writeInOrder(
        generator.blockCount(), generator.sequential() ? 1U : command.threads,
        [&](std::uint64_t block, ByteBuffer& out) { generator.makeBlock(block, out); },
        [&](std::string_view bytes) { return output.write(bytes); });
}

} // namespace pellorin::cli
