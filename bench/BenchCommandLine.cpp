// pellorin-cli as a whole process writing to /dev/null, against cat writing
// the same bytes from a file in the page cache: how close generation comes
// to the cost of the output itself.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

// Runs a program with standard output going to `output`; throws unless it
// ends with status 0.
void run(std::vector<std::string> argv, const char* output)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (std::string& a : argv)
        args.push_back(a.data());
    args.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (spawned != 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)
        || WEXITSTATUS(status) != 0)
        throw std::runtime_error("cannot run " + argv[0]);
}

constexpr std::int64_t kCount = 50'000'000;
constexpr std::int64_t kBytes = kCount * 17; // 16 digits and a line end
const std::string kCachedFile = "/tmp/pellorin-bench-numbers.txt";

void generate(benchmark::State& state, std::vector<std::string> arguments, std::int64_t count)
{
    std::vector<std::string> argv { PELLORIN_CLI, "generate", "--count", std::to_string(count),
        "--seed", "1" };
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    for (auto _ : state)
        run(argv, "/dev/null");
    state.SetItemsProcessed(state.iterations() * count);
}

void BM_CliGenerate(benchmark::State& state)
{
    generate(state, { "--threads", std::to_string(state.range(0)) }, kCount);
    state.SetBytesProcessed(state.iterations() * kBytes);
}
BENCHMARK(BM_CliGenerate)
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(2)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// The same bytes from memory: cat of the output kept in the page cache.
void BM_CatSameBytes(benchmark::State& state)
{
    run({ PELLORIN_CLI, "generate", "--count", std::to_string(kCount), "--seed", "1" },
        kCachedFile.c_str());
    run({ "cat", kCachedFile }, "/dev/null"); // into the cache
    for (auto _ : state)
        run({ "cat", kCachedFile }, "/dev/null");
    state.SetItemsProcessed(state.iterations() * kCount);
    state.SetBytesProcessed(state.iterations() * kBytes);
    std::remove(kCachedFile.c_str());
}
BENCHMARK(BM_CatSameBytes)->UseRealTime()->Unit(benchmark::kMillisecond);

// --unique keeps every number: 10 million of them.
void BM_CliGenerateUnique(benchmark::State& state)
{
    generate(state, { "--unique" }, 10'000'000);
}
BENCHMARK(BM_CliGenerateUnique)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace
