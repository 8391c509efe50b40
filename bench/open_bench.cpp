// Opening the demo ROM in the process as the editor does it: the file opened
// once and read where the tables are, its form told, the three data sets
// loaded and the battle backgrounds decoded into the pictures shown behind the
// items. Then `morvik-cli info` as a whole process next to `cat` of the same
// file, each started and waited for (bench/info_vs_cat.sh prints their ratio).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "backgrounds/background_pictures.h"
#include "demo_rom_file.h"
#include "document/rom_document.h"
#include "rom/rom_form.h"

namespace morvik {
namespace {

void BM_OpenWholeRom(benchmark::State& state) {
    const auto& path = bench::demoRomPath();
    for (auto _ : state) {
        RomFile rom;
        DataSets sets;
        BackgroundPictures pictures;
        if (!rom.open(path) || readRomForm(rom).status != RomFormStatus::Recognised ||
            loadDataSets(sets, rom) != RomLoadResult::Loaded) {
            state.SkipWithError("open failed");
            break;
        }
        applyBackground(pictures, 0, rom);
        benchmark::DoNotOptimize(pictures.background256);
    }
}
BENCHMARK(BM_OpenWholeRom)->Unit(benchmark::kMillisecond);

// Runs the program (looked up in PATH) with its output thrown away; false when
// it could not start or did not exit with 0.
bool runQuietly(std::vector<std::string> args) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int started = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    return started == 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

void runProcess(benchmark::State& state, const std::vector<std::string>& args) {
    if (!runQuietly(args)) {  // and the file is in the page cache
        state.SkipWithError("the process failed");
        return;
    }
    for (auto _ : state) {
        if (!runQuietly(args)) {
            state.SkipWithError("the process failed");
            break;
        }
    }
}

void BM_InfoProcess(benchmark::State& state) {
    runProcess(state, {MORVIK_CLI_PATH, "info", bench::demoRomPath().string()});
}
BENCHMARK(BM_InfoProcess)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CatProcess(benchmark::State& state) {
    runProcess(state, {"cat", bench::demoRomPath().string()});
}
BENCHMARK(BM_CatProcess)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace morvik

BENCHMARK_MAIN();
