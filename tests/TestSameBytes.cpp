// The table of seeded outputs every face and language passes: here
// pellorin-cli and the C++ API, each row's bytes by their SHA-256.

#include "CommandLineRun.h"
#include "ParamName.h"

#include <pellorin/pellorin.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>

namespace {

using namespace pellorin;

struct Row {
    std::string brand, seed, options, sha256;
};

std::vector<Row> tableRows()
{
    std::vector<Row> rows;
    std::ifstream table(PELLORIN_SOURCE_DIR "/tests/golden/same-bytes.tsv");
    for (std::string line; std::getline(table, line);) {
        if (line.empty() || line.starts_with('#'))
            continue;
        std::istringstream fields(line);
        Row row;
        std::getline(fields, row.brand, '\t');
        std::getline(fields, row.seed, '\t');
        std::getline(fields, row.options, '\t');
        std::getline(fields, row.sha256, '\t');
        rows.push_back(row);
    }
    return rows;
}

// The options as (name, value) pairs; a flag's value is empty.
std::vector<std::pair<std::string, std::string>> options(const Row& row)
{
    std::vector<std::pair<std::string, std::string>> pairs;
    std::istringstream words(row.options == "-" ? "" : row.options);
    for (std::string word; words >> word;) {
        const std::size_t equals = word.find('=');
        pairs.emplace_back(word.substr(0, equals),
            equals == std::string::npos ? std::string() : word.substr(equals + 1));
    }
    return pairs;
}

std::string sha256(const std::string& bytes)
{
    const test::ProgramRun run = test::runProgram("/usr/bin/sha256sum", {}, bytes);
    EXPECT_EQ(run.status, 0) << run.err;
    return run.out.substr(0, 64);
}

class SameBytes : public testing::TestWithParam<Row> { };

TEST_P(SameBytes, FromTheCommandLine)
{
    const Row& row = GetParam();
    std::vector<std::string> arguments { "generate", "--seed", row.seed };
    if (row.brand != "-")
        arguments.insert(arguments.end(), { "--brand", row.brand });
    for (auto [name, value] : options(row)) {
        std::replace(name.begin(), name.end(), '_', '-');
        arguments.push_back("--" + name);
        if (!value.empty())
            arguments.push_back(value);
    }
    const test::ProgramRun run = test::cli(arguments);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(sha256(run.out), row.sha256);
}

TEST_P(SameBytes, FromTheLibrary)
{
    const Row& row = GetParam();
    request asked;
    asked.brand = row.brand == "-" ? "" : row.brand;
    asked.seed = std::stoull(row.seed);
    asked.month = std::chrono::year { 2026 } / std::chrono::January;
    const std::map<std::string, std::function<void(const std::string&)>> set {
        { "count", [&](const std::string& v) { asked.count = std::stoull(v); } },
        { "length", [&](const std::string& v) { asked.length = std::stoi(v); } },
        { "prefix", [&](const std::string& v) { asked.prefix = v; } },
        { "ranges", [&](const std::string& v) { asked.ranges = v; } },
        { "invalid", [&](const std::string& v) { asked.invalid = v; } },
        { "separator", [&](const std::string& v) { asked.separator = v; } },
        { "format", [&](const std::string& v) { asked.format = v; } },
        { "group", [&](const std::string&) { asked.group = true; } },
        { "unique", [&](const std::string&) { asked.unique = true; } },
        { "with_expiry", [&](const std::string&) { asked.with_expiry = true; } },
        { "with_cvv", [&](const std::string&) { asked.with_cvv = true; } },
        { "null", [&](const std::string&) { asked.null = true; } },
        { "no_header", [&](const std::string&) { asked.no_header = true; } },
    };
    for (const auto& [name, value] : options(row)) {
        ASSERT_TRUE(set.contains(name)) << "an option the table's runner does not know: " << name;
        set.at(name)(value);
    }
    EXPECT_EQ(sha256(generate(asked)), row.sha256);
}

INSTANTIATE_TEST_SUITE_P(Table, SameBytes, testing::ValuesIn(tableRows()), [](const auto& info) {
    const Row& row = info.param;
    std::string options = row.options;
    std::erase(options, '=');
    std::replace(options.begin(), options.end(), '_', ' ');
    return test::spelledName(row.brand + " " + row.seed + " " + options);
});

} // namespace
