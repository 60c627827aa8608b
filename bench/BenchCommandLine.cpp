// pellorin-cli as a whole process writing to /dev/null, against cat writing
// the same bytes from a file in the page cache: how close generation comes
// to the cost of the output itself.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
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

// Runs a program with standard output going to `output` and standard error
// to nowhere; throws unless it ends with status 0.
void run(std::vector<std::string> argv, const char* output)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
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

// check on 10 million lines of generate's text output, in a file in the page
// cache, against wc -l counting the same lines: the cost of judging beyond
// reading. The file is made by the first of these and removed by the last;
// each runs once, its runs counted here.
constexpr std::int64_t kCheckLines = 10'000'000;
const std::string kCheckFile = "/tmp/pellorin-bench-check.txt";
double g_checkOneThread = 0; // seconds per run

double secondsOf(const std::vector<std::string>& argv)
{
    const auto start = std::chrono::steady_clock::now();
    run(argv, "/dev/null");
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The best of a few runs of wc -l on the file.
double wcSeconds()
{
    double best = 1e9;
    for (int i = 0; i < 5; ++i)
        best = std::min(best, secondsOf({ "wc", "-l", kCheckFile }));
    return best;
}

void BM_CliCheck(benchmark::State& state)
{
    if (state.range(0) == 1) {
        run({ PELLORIN_CLI, "generate", "--count", std::to_string(kCheckLines), "--seed", "1" },
            kCheckFile.c_str());
        run({ "cat", kCheckFile }, "/dev/null"); // into the cache
    }
    double seconds = 0;
    for (auto _ : state) {
        seconds += secondsOf(
            { PELLORIN_CLI, "check", "--threads", std::to_string(state.range(0)), kCheckFile });
    }
    seconds /= double(state.iterations());
    state.SetItemsProcessed(state.iterations() * kCheckLines);
    state.counters["lines_per_s"] = double(kCheckLines) / seconds;
    state.counters["times_wc_l"] = seconds / wcSeconds();
    if (state.range(0) == 1)
        g_checkOneThread = seconds;
    else if (g_checkOneThread > 0)
        state.counters["speedup"] = g_checkOneThread / seconds;
}
BENCHMARK(BM_CliCheck)
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(2)
    ->Iterations(5)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

void BM_WcLines(benchmark::State& state)
{
    for (auto _ : state)
        run({ "wc", "-l", kCheckFile }, "/dev/null");
    state.SetItemsProcessed(state.iterations() * kCheckLines);
    std::remove(kCheckFile.c_str());
}
BENCHMARK(BM_WcLines)->Iterations(5)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace
