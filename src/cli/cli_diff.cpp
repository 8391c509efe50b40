#include <ostream>
#include <system_error>

#include "cli/cli_args.h"
#include "cli/cli_batch.h"
#include "cli/cli_commands.h"
#include "cli/cli_session.h"
#include "rom/file_path.h"
#include "transfer/change_lines.h"
#include "transfer/folder_import.h"
#include "transfer/image_transfer.h"
#include "transfer/rom_diff.h"

namespace morvik::cli {

namespace {

namespace fs = std::filesystem;

// As diff(1): 0 the same, 1 different, 2 trouble.
constexpr int kExitSame = 0;
constexpr int kExitDifferent = 1;
constexpr int kExitTrouble = 2;

constexpr const char* kDiffUsage = "Usage: morvik-cli diff A B [--out DIR]\n";

ItemPicture pictureOf(const Session& session, const ItemChange& change) {
    return change.kind == ItemKind::Background
               ? backgroundPicture(session.backgrounds.battleBackgrounds, change.index)
               : itemPicture(session.sets, change.kind, change.index);
}

std::string nameOf(const Session& session, const ItemChange& change) {
    if (change.kind != ItemKind::Monster || !isValidRecord(change.index)) return {};
    return session.sets.monsters.records[static_cast<std::size_t>(change.index)].name;
}

// DIR/<kind's folder>/<number>.png for each changed item: A, B and the mask.
bool writeDifferencePictures(const Session& a, const Session& b,
                             const std::vector<ItemChange>& changes, const fs::path& dir,
                             std::ostream& err) {
    for (const ItemChange& change : changes) {
        const fs::path folder = dir / itemFolderName(change.kind);
        std::error_code error;
        fs::create_directories(folder, error);
        if (error) {
            err << "cannot create folder " << pathToUtf8(folder) << '\n';
            return false;
        }
        const IndexedImage picture = differencePicture(pictureOf(a, change), pictureOf(b, change));
        const fs::path file = folder / itemFileName(change.kind, change.index, ImageFileType::Png);
        if (writeImage(picture, file, picture.width(), picture.height(), ImageFileType::Png) !=
            ImageStatus::Ok) {
            err << "cannot write " << pathToUtf8(file) << '\n';
            return false;
        }
    }
    return true;
}

}  // namespace

int diffCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const ParsedArgs parsed = parseArgs(args, 1, {{"A", "B"}, {valueOption("--out")}});
    if (!parsed.error.empty()) {
        err << parsed.error << '\n' << kDiffUsage;
        return kExitTrouble;
    }
    Session a(pathFromUtf8(parsed.positionals[0]), out, err);
    Session b(pathFromUtf8(parsed.positionals[1]), out, err);
    if (!a.open() || !b.open()) return kExitTrouble;
    std::vector<ItemChange> changes = diffDataSets(a.sets, b.sets);
    for (ItemChange& change :
         diffBackgrounds(a.backgrounds.battleBackgrounds, b.backgrounds.battleBackgrounds))
        changes.push_back(std::move(change));
    for (const ItemChange& change : changes) {
        const ChangeDetail detail{.name = nameOf(b, change), .pixelCount = true, .sharers = true};
        out << changeLine(change, detail) << '\n';
    }
    out << itemsCount(changes.size()) << (changes.size() == 1 ? " differs" : " differ") << '\n';
    if (parsed.has("--out") &&
        !writeDifferencePictures(a, b, changes, pathFromUtf8(parsed.value("--out")), err))
        return kExitTrouble;
    return changes.empty() ? kExitSame : kExitDifferent;
}

}  // namespace morvik::cli
