// The table of seeded outputs every face and language passes: here
// pellorin-cli and the C++ API, each row's bytes by their SHA-256.

#include "CommandLineRun.h"
#include "ParamName.h"

#include <pellorin/pellorin.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace {

using namespace pellorin;

struct Row {
    std::string brand, seed, options, sha256;
};

void PrintTo(const Row& row, std::ostream* os)
{
    *os << row.brand << ' ' << row.seed << ' ' << row.options;
}

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

// Through the options as a binding hands them on, by name.
TEST_P(SameBytes, FromTheLibrary)
{
    const Row& row = GetParam();
    const auto pairs = options(row);
    std::vector<option> given { { "seed", row.seed } };
    if (row.brand != "-")
        given.push_back({ "brand", row.brand });
    for (const auto& [name, value] : pairs)
        given.push_back({ name, value });
    request asked = read_request(given);
    asked.month = std::chrono::year { 2026 } / std::chrono::January;
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
