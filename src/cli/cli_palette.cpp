#include <algorithm>
#include <charconv>
#include <optional>
#include <ostream>
#include <utility>

#include "cli/cli_args.h"
#include "cli/cli_batch.h"
#include "cli/cli_commands.h"
#include "cli/cli_import_flags.h"
#include "cli/cli_session.h"
#include "imagefile/palette_file.h"
#include "rom/file_path.h"
#include "transfer/palette_mapping.h"
#include "transfer/palette_transfer.h"

namespace morvik::cli {

namespace {

constexpr const char* kPaletteUsage =
    "Usage: morvik-cli palette export ROM monster|portrait|character INDEX OUT\n"
    "       morvik-cli palette import ROM monster|portrait|character INDEX FILE [--backup]\n"
    "                  [--fix-checksum] [--force]\n";

int paletteUsage(std::ostream& err, const std::string& why) {
    err << why << '\n' << kPaletteUsage;
    return kExitUsage;
}

// The kind and index of the command line; a usage error or an index out of
// range is written and nothing comes back.
std::optional<std::pair<ItemKind, int>> itemOf(const ParsedArgs& parsed, std::ostream& err,
                                               int& status) {
    const std::string& set = parsed.positionals[1];
    const std::string& indexText = parsed.positionals[2];
    std::optional<ItemKind> kind;
    for (const ItemKind each : {ItemKind::Monster, ItemKind::Portrait, ItemKind::Character}) {
        if (set == itemKindName(each)) kind = each;
    }
    if (!kind) {
        status = paletteUsage(err, "unknown item kind '" + set + "'");
        return std::nullopt;
    }
    int index = -1;
    const auto [end, error] =
        std::from_chars(indexText.data(), indexText.data() + indexText.size(), index);
    const int count = itemCount(*kind);
    if (error != std::errc{} || end != indexText.data() + indexText.size() || index < 0 ||
        index >= count) {
        err << "index out of range: " << indexText << " (" << set << "s are 0.." << count - 1
            << ")\n";
        status = kExitFailure;
        return std::nullopt;
    }
    return std::pair{*kind, index};
}

int exportPalette(const ParsedArgs& parsed, std::ostream& out, std::ostream& err) {
    const std::string& file = parsed.positionals[3];
    const auto format = paletteFormatOfPath(pathFromUtf8(file));
    if (!format)
        return paletteUsage(err, file + ": a palette file ends in .gpl, .pal, .act or .bin");
    int status = kExitSuccess;
    const auto item = itemOf(parsed, err, status);
    if (!item) return status;
    Session session(pathFromUtf8(parsed.positionals[0]), out, err);
    if (!session.open()) return kExitFailure;
    const std::vector<PaletteColour> colours =
        itemPaletteColours(session.sets, item->first, item->second);
    if (writePaletteFile(pathFromUtf8(file), colours, *format) != PaletteFileStatus::Ok) {
        err << "cannot write " << file << '\n';
        return kExitFailure;
    }
    out << "palette exported: " << colours.size() << " colours to " << file << '\n';
    return kExitSuccess;
}

int importPalette(const ParsedArgs& parsed, std::ostream& out, std::ostream& err) {
    int status = kExitSuccess;
    const auto item = itemOf(parsed, err, status);
    if (!item) return status;
    const std::string& file = parsed.positionals[3];
    std::vector<PaletteColour> colours;
    const PaletteFileStatus read = readPaletteFile(pathFromUtf8(file), colours);
    if (read != PaletteFileStatus::Ok) {
        err << file << ": " << paletteFileMessage(read) << '\n';
        return kExitFailure;
    }
    const ImportFlags flags = importFlags(parsed);
    Session session(pathFromUtf8(parsed.positionals[0]), out, err, flags.saving);
    if (!session.open()) return kExitFailure;
    const auto [kind, index] = *item;
    const std::vector<std::string> others = itemPaletteSharers(session.sets, kind, index);
    switch (importItemPalette(session.sets, kind, index, colours)) {
        case PaletteImport::Imported:
            break;
        case PaletteImport::Unchanged:
            out << "palette unchanged: the ROM already has these colours\n";
            return kExitSuccess;
        case PaletteImport::Fixed:
            err << "the colours of character " << index
                << " are fixed: its palette cannot change\n";
            return kExitFailure;
        case PaletteImport::NoItem:
            err << "no palette for " << itemKindName(kind) << ' ' << index << '\n';
            return kExitFailure;
    }
    if (!others.empty()) err << sharedPaletteLine(others) << '\n';
    return session.save() ? kExitSuccess : kExitFailure;
}

}  // namespace

int paletteCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    // The first word that is no option says what to do; options may come anywhere.
    std::vector<std::string> rest(args.begin(), args.end());
    const auto what = std::find_if(rest.begin() + 1, rest.end(),
                                   [](const std::string& arg) { return !arg.starts_with("--"); });
    if (what == rest.end()) return paletteUsage(err, "missing export or import");
    const std::string action = *what;
    rest.erase(what);
    if (action != "export" && action != "import")
        return paletteUsage(err, "unknown palette command '" + action + "'");
    const bool exporting = action == "export";
    const CommandShape shape =
        exporting ? CommandShape{{"ROM", "KIND", "INDEX", "OUT"}, {}}
                  : CommandShape{{"ROM", "KIND", "INDEX", "FILE"},
                                 {flagOption("--backup"), flagOption("--fix-checksum"),
                                  flagOption("--force")}};
    const ParsedArgs parsed = parseArgs(rest, 1, shape);
    if (!parsed.error.empty()) return paletteUsage(err, parsed.error);
    return exporting ? exportPalette(parsed, out, err) : importPalette(parsed, out, err);
}

}  // namespace morvik::cli
