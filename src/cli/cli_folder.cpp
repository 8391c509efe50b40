#include <ostream>

#include "cli/cli_batch.h"
#include "cli/cli_commands.h"
#include "cli/cli_import_flags.h"
#include "rom/file_path.h"
#include "transfer/change_lines.h"
#include "transfer/folder_import.h"

namespace morvik::cli {

namespace {

constexpr const char* kImportDirUsage =
    "Usage: morvik-cli import-dir ROM DIR [--palette file|keep|renumber] [--dry-run]\n"
    "                             [--backup] [--fix-checksum] [--force] [--no-repack] "
    "[--keep-rows]\n";

void printRefusals(const FolderImportPlan& plan, std::ostream& err) {
    for (const FolderRefusal& refusal : plan.refusals)
        err << pathToUtf8(refusal.file) << ": " << refusal.message << '\n';
    err << "nothing imported: " << plan.refusals.size()
        << (plan.refusals.size() == 1 ? " file" : " files") << " refused\n";
}

}  // namespace

int importDirCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    // --dry-run is this command's own; the other options are the import's.
    std::vector<OptionShape> options = importOptions();
    options.push_back(flagOption("--dry-run"));
    const ParsedArgs parsed = parseArgs(args, 1, {{"ROM", "DIR"}, options});
    if (!parsed.error.empty()) {
        err << parsed.error << '\n' << kImportDirUsage;
        return kExitUsage;
    }
    const ImportFlags flags = importFlags(parsed);
    const bool dryRun = parsed.has("--dry-run");
    Session session(pathFromUtf8(parsed.positionals[0]), out, err, flags.saving);
    if (!session.open()) return kExitFailure;
    session.sets.monsters.keepBattleRows = flags.keepRows;
    FolderImportPlan plan =
        planFolderImport(session.sets, pathFromUtf8(parsed.positionals[1]), flags.palette);
    for (const auto& file : plan.ignored)
        err << "ignored " << pathToUtf8(file) << " (not named as an export names its pictures)\n";
    if (!plan.refusals.empty()) {
        printRefusals(plan, err);
        return kExitFailure;
    }
    for (const ItemChange& change : plan.changes)
        out << changeLine(change, {}) << '\n';
    out << itemsCount(plan.changes.size()) << " changed, " << plan.unchanged << " unchanged\n";
    // Nothing changed: the file is not written at all.
    if (dryRun || plan.changes.empty()) return kExitSuccess;
    if (!applyFolderImport(session.sets, std::move(plan))) return kExitFailure;
    return session.save() ? kExitSuccess : kExitFailure;
}

}  // namespace morvik::cli
