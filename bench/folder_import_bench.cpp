// The folder import as the user waits for its summary: every picture of a full
// PNG export of the demo ROM (456 files) read, mapped and tried on the data.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <system_error>

#include "demo_rom_file.h"
#include "document/rom_document.h"
#include "transfer/folder_import.h"

namespace morvik {
namespace {

namespace fs = std::filesystem;

// The demo ROM exported as PNG files into a temporary folder, removed at the end.
class ExportFolder {
  public:
    explicit ExportFolder(const DataSets& sets)
        : path_(fs::temp_directory_path() /
                ("morvik-bench-export-" + std::to_string(std::random_device{}()))) {
        for (const ItemKind kind : {ItemKind::Monster, ItemKind::Portrait, ItemKind::Character}) {
            std::error_code error;
            fs::create_directories(path_ / itemFolderName(kind), error);
            for (int i = 0; i < itemCount(kind); ++i) {
                const ItemPicture picture = itemPicture(sets, kind, i);
                const fs::path file =
                    path_ / itemFolderName(kind) / itemFileName(kind, i, ImageFileType::Png);
                ok_ = ok_ && writeImage(picture.image, file, picture.width, picture.height,
                                        ImageFileType::Png) == ImageStatus::Ok;
            }
        }
    }
    ~ExportFolder() {
        std::error_code error;
        fs::remove_all(path_, error);
    }
    ExportFolder(const ExportFolder&) = delete;
    ExportFolder& operator=(const ExportFolder&) = delete;

    const fs::path& path() const { return path_; }
    bool ok() const { return ok_; }

  private:
    fs::path path_;
    bool ok_ = true;
};

void BM_PlanFolderImport(benchmark::State& state) {
    DataSets sets;
    if (loadDataSets(sets, bench::demoRomPath()) != RomLoadResult::Loaded) {
        state.SkipWithError("load failed");
        return;
    }
    const ExportFolder folder(sets);
    if (!folder.ok()) {
        state.SkipWithError("export failed");
        return;
    }
    for (auto _ : state) {
        const FolderImportPlan plan = planFolderImport(sets, folder.path(), PaletteMode::Automatic);
        if (!plan.refusals.empty() || !plan.changes.empty()) {
            state.SkipWithError("the untouched export changed something");
            break;
        }
        benchmark::DoNotOptimize(plan.unchanged);
    }
}
BENCHMARK(BM_PlanFolderImport)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace morvik

BENCHMARK_MAIN();
