#include <algorithm>
#include <ostream>

#include "cli/cli_args.h"
#include "cli/cli_batch.h"
#include "cli/cli_commands.h"
#include "rom/file_path.h"
#include "transfer/rom_patch.h"

namespace morvik::cli {

namespace {

constexpr const char* kPatchUsage =
    "Usage: morvik-cli patch create ORIGINAL MODIFIED OUT [--header]\n"
    "       morvik-cli patch apply ROM PATCH OUT [--header] [--force] [--backup]\n";

int patchUsage(std::ostream& err, const std::string& why) {
    err << why << '\n' << kPatchUsage;
    return kExitUsage;
}

// What the report says went wrong, in one line; a name that is no patch's is
// a usage error.
int refused(const RomPatchReport& report, std::ostream& err) {
    if (report.status == RomPatchStatus::UnknownFormat) return patchUsage(err, report.message);
    err << report.message << '\n';
    return kExitFailure;
}

int createPatch(const ParsedArgs& parsed, std::ostream& out, std::ostream& err) {
    const std::string& target = parsed.positionals[2];
    if (!patchFormatOf(pathFromUtf8(target)))
        return patchUsage(err, target + ": a patch is named .bps or .ips");
    const RomPatchReport report =
        createRomPatch(pathFromUtf8(parsed.positionals[0]), pathFromUtf8(parsed.positionals[1]),
                       pathFromUtf8(target), parsed.has("--header"));
    if (!report.ok()) return refused(report, err);
    out << patchCreatedLines(report, target) << '\n';
    return kExitSuccess;
}

int applyPatch(const ParsedArgs& parsed, std::ostream& out, std::ostream& err) {
    const std::string& target = parsed.positionals[2];
    const bool header = parsed.has("--header");
    const RomPatchReport report =
        applyRomPatch(pathFromUtf8(parsed.positionals[0]), pathFromUtf8(parsed.positionals[1]),
                      pathFromUtf8(target), header, parsed.has("--force"), parsed.has("--backup"));
    if (!report.ok()) return refused(report, err);
    out << patchAppliedLine(report, target) << '\n';
    if (report.wholeFiles && !header)
        out << "the patch was made for the file with its copier header: applied to the whole "
               "file\n";
    return kExitSuccess;
}

}  // namespace

int patchCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    // The first word that is no option says what to do; options may come anywhere.
    std::vector<std::string> rest(args.begin(), args.end());
    const auto what = std::find_if(rest.begin() + 1, rest.end(),
                                   [](const std::string& arg) { return !arg.starts_with("--"); });
    if (what == rest.end()) return patchUsage(err, "missing create or apply");
    const std::string action = *what;
    rest.erase(what);
    if (action != "create" && action != "apply")
        return patchUsage(err, "unknown patch command '" + action + "'");
    const bool create = action == "create";
    const CommandShape shape =
        create
            ? CommandShape{{"ORIGINAL", "MODIFIED", "OUT"}, {flagOption("--header")}}
            : CommandShape{{"ROM", "PATCH", "OUT"},
                           {flagOption("--header"), flagOption("--force"), flagOption("--backup")}};
    const ParsedArgs parsed = parseArgs(rest, 1, shape);
    if (!parsed.error.empty()) return patchUsage(err, parsed.error);
    return create ? createPatch(parsed, out, err) : applyPatch(parsed, out, err);
}

}  // namespace morvik::cli
