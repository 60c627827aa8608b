#include "CheckRun.h"

#include "CheckReader.h"
#include "Output.h"
#include "OutputSink.h"

#include <cstdio>

namespace pellorin::cli {

int runCheck(const CheckCommand& command, Output& output)
{
    OutputSink sink(output);
    engine::CheckRequest request = command.request;
    request.nameSources = command.files.size() > 1;
    engine::CheckReader reader(request, sink, [](std::string_view message) {
        std::fprintf(stderr, "pellorin-cli check: %.*s\n", int(message.size()), message.data());
    });
    const std::vector<std::string> standardInput { std::string() };
    for (const std::string& file : command.files.empty() ? standardInput : command.files) {
        const bool isStandardInput = file.empty() || file == "-";
        reader.beginSource(isStandardInput ? std::string_view("(standard input)") : file);
        const std::string failure
            = readInChunks(file, [&](std::string_view chunk) { return reader.feed(chunk); });
        if (!failure.empty())
            reader.sourceFailed(failure);
        else
            reader.endSource();
        if (reader.readerGone())
            return reader.status();
    }
    if (!reader.finish())
        return reader.status();
    if (command.countOnly) {
        if (!sink.write(reader.summaryRecord()))
            return reader.status();
    } else if (!request.quiet) {
        reader.summarize();
    }
    return reader.status();
}

} // namespace pellorin::cli
