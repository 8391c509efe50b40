#include "cli/cli_commands.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <ostream>

#include "cli/cli_args.h"
#include "cli/cli_batch.h"
#include "cli/cli_import_flags.h"
#include "cli/cli_session.h"
#include "demo/demo_rom.h"
#include "document/version.h"
#include "rom/file_path.h"
#include "rom/monsters/monster_edit.h"
#include "rom/monsters/monster_save.h"
#include "rom/portraits/portrait_edit.h"
#include "rom/rom_file.h"
#include "rom/sprites/sprite_edit.h"
#include "transfer/folder_export.h"
#include "transfer/image_import.h"
#include "transfer/image_transfer.h"

namespace morvik::cli {

namespace {

namespace fs = std::filesystem;

constexpr const char* kUsage =
    "Usage:\n"
    "  morvik-cli demo-rom OUT [--layout original|expanded] [--no-header]\n"
    "  morvik-cli info ROM [--json]\n"
    "  morvik-cli export ROM DIR [--format png|bmp|pcx] "
    "[--only monsters|portraits|characters|backgrounds]\n"
    "  morvik-cli import ROM monster|portrait|character INDEX FILE [--palette file|keep|renumber]\n"
    "                    [--backup] [--fix-checksum] [--force] [--no-repack] [--keep-rows]\n"
    "  morvik-cli import-dir ROM DIR [--palette file|keep|renumber] [--dry-run]\n"
    "                    [--backup] [--fix-checksum] [--force] [--no-repack] [--keep-rows]\n"
    "  morvik-cli diff A B [--out DIR]\n"
    "  morvik-cli patch create ORIGINAL MODIFIED OUT [--header]\n"
    "  morvik-cli patch apply ROM PATCH OUT [--header] [--force] [--backup]\n"
    "  morvik-cli check ROM [--json]\n"
    "  morvik-cli battle ROM FORMATION OUT.png [--background N]\n"
    "  morvik-cli palette export ROM monster|portrait|character INDEX OUT\n"
    "  morvik-cli palette import ROM monster|portrait|character INDEX FILE [--backup]\n"
    "                    [--fix-checksum] [--force]\n"
    "  morvik-cli --help\n"
    "  morvik-cli --version\n";

// What was wrong in one line, then how the commands are used.
int usage(std::ostream& err, const std::string& why) {
    err << why << '\n' << kUsage;
    return kExitUsage;
}

int fail(std::ostream& err, const std::string& why) {
    err << why << '\n';
    return kExitFailure;
}

std::string hex4(std::uint16_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(value));
    return text;
}

std::string hex8(std::uint32_t value) {
    char text[12];
    std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(value));
    return text;
}

std::optional<int> parseIndex(const std::string& text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

int demoRom(const std::vector<std::string>& args, std::ostream& err) {
    const ParsedArgs parsed = parseArgs(
        args, 1,
        {{"OUT"}, {valueOption("--layout", {"original", "expanded"}), flagOption("--no-header")}});
    if (!parsed.error.empty()) return usage(err, parsed.error);
    DemoRomOptions options;
    options.header = !parsed.has("--no-header");
    if (parsed.has("--layout")) {
        options.layout = parsed.value("--layout") == "original"
                             ? monsters::MonsterLayoutKind::Original
                             : monsters::MonsterLayoutKind::Expanded;
    }
    const std::string& file = parsed.positionals[0];
    if (!writeDemoRom(pathFromUtf8(file), options)) return fail(err, "cannot write " + file);
    return kExitSuccess;
}

int info(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const ParsedArgs parsed = parseArgs(args, 1, {{"ROM"}, {flagOption("--json")}});
    if (!parsed.error.empty()) return usage(err, parsed.error);
    const std::string& rom = parsed.positionals[0];
    if (parsed.has("--json")) return infoJsonCommand(rom, out, err);
    Session session(pathFromUtf8(rom), out, err);
    session.describeOnly();
    if (!session.open()) return kExitFailure;
    const MonsterGraphicsSet& monsters = session.sets.monsters;
    const RomForm& form = session.form();
    out << "header: " << (form.headerSize == 0 ? "none" : "512 bytes") << '\n'
        << "layout: " << layoutName(form.monsters.kind) << " (graphics at "
        << bankAddress(form.monsters.graphicsAddress()) << ", molds at "
        << bankAddress(form.monsters.moldPointersAddress())
        << (form.layoutAssumed ? "; assumed, the game code does not say" : "") << ")\n";
    out << "monster records: " << monsters.records.size() << '\n'
        << "graphics entries: " << monsters.entryCount << '\n'
        << "small molds: " << monsters.smallMolds.size() << '\n'
        << "large molds: " << monsters.largeMolds.size() << '\n'
        << "used graphics bytes: " << usedGraphicsBytes(monsters) << '\n'
        << "free graphics space: " << freeGraphicsSpace(monsters) << '\n'
        << "portraits: " << session.sets.portraits.portraits.size() << '\n'
        << "characters: " << session.sets.characters.characters.size() << '\n'
        << "battle backgrounds: " << session.battleBackgroundCount() << '\n';
    if (const auto checksum = session.checksum()) {
        out << "checksum: "
            << (checksum->ok() ? "ok"
                               : "wrong (stored " + hex4(checksum->stored) + ", computed " +
                                     hex4(checksum->computed) + ")")
            << '\n';
    }
    if (const auto crc = session.crc32()) out << "crc32: " << hex8(*crc) << '\n';
    return kExitSuccess;
}

std::vector<std::string> itemFolderNames() {
    std::vector<std::string> names;
    for (const ItemKind kind : kAllItemKinds)
        names.emplace_back(itemFolderName(kind));
    return names;
}

ImageFileType formatNamed(const std::string& name) {
    if (name == "bmp") return ImageFileType::Bmp;
    if (name == "pcx") return ImageFileType::Pcx;
    return ImageFileType::Png;
}

int exportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const ParsedArgs parsed = parseArgs(args, 1,
                                        {{"ROM", "DIR"},
                                         {valueOption("--format", {"png", "bmp", "pcx"}),
                                          valueOption("--only", itemFolderNames())}});
    if (!parsed.error.empty()) return usage(err, parsed.error);
    std::optional<ItemKind> only;  // nothing: every set
    for (const ItemKind kind : kAllItemKinds) {
        if (parsed.value("--only") == itemFolderName(kind)) only = kind;
    }
    Session session(pathFromUtf8(parsed.positionals[0]), out, err);
    if (!session.open()) return kExitFailure;
    const FolderExport exported = exportFolder(session.sets, session.backgrounds.battleBackgrounds,
                                               pathFromUtf8(parsed.positionals[1]),
                                               formatNamed(parsed.value("--format")), only);
    if (!exported.ok()) err << exported.error << '\n';
    return exported.ok() ? kExitSuccess : kExitFailure;
}

}  // namespace

std::vector<OptionShape> importOptions() {
    return {valueOption("--palette", {"file", "keep", "renumber"}),
            flagOption("--backup"),
            flagOption("--fix-checksum"),
            flagOption("--force"),
            flagOption("--no-repack"),
            flagOption("--keep-rows")};
}

ImportFlags importFlags(const ParsedArgs& parsed) {
    ImportFlags flags;
    flags.palette = paletteModeNamed(parsed.value("--palette")).value_or(PaletteMode::Automatic);
    flags.saving.backup = parsed.has("--backup");
    flags.saving.fixChecksum = parsed.has("--fix-checksum");
    flags.saving.force = parsed.has("--force");
    flags.saving.noRepack = parsed.has("--no-repack");
    flags.keepRows = parsed.has("--keep-rows");
    return flags;
}

namespace {

int importCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const ParsedArgs parsed =
        parseArgs(args, 1, {{"ROM", "KIND", "INDEX", "FILE"}, importOptions()});
    if (!parsed.error.empty()) return usage(err, parsed.error);
    const ImportFlags flags = importFlags(parsed);
    const std::string& rom = parsed.positionals[0];
    const std::string& set = parsed.positionals[1];
    const std::string& indexText = parsed.positionals[2];
    const std::string& file = parsed.positionals[3];
    const auto index = parseIndex(indexText);
    if (set != "monster" && set != "portrait" && set != "character")
        return usage(err, "unknown item kind '" + set + "'");
    const int count = set == "monster"    ? monsters::kRecordCount
                      : set == "portrait" ? portraits::kPortraitCount
                                          : sprites::kCharacterCount;
    if (!index || *index < 0 || *index >= count) {
        return fail(err, "index out of range: " + indexText + " (" + set + "s are 0.." +
                             std::to_string(count - 1) + ")");
    }
    const ImportLimits& limits = set == "monster"    ? kMonsterImportLimits
                                 : set == "portrait" ? kPortraitImportLimits
                                                     : kCharacterImportLimits;
    Session session(pathFromUtf8(rom), out, err, flags.saving);
    if (!session.open()) return kExitFailure;
    DataSets& sets = session.sets;
    sets.monsters.keepBattleRows = flags.keepRows;
    const ImportTarget target = set == "monster" ? monsterImportTarget(sets.monsters, *index)
                                : set == "portrait"
                                    ? portraitImportTarget(sets.portraits, *index)
                                    : characterImportTarget(sets.characters, *index);
    const PreparedImport prepared =
        prepareImport(pathFromUtf8(file), limits, target, flags.palette);
    // A file that cannot be read is named, with the system's reason.
    if (prepared.status == ImageStatus::CannotRead) {
        const std::string reason = unreadableReason(pathFromUtf8(file));
        return fail(err, prepared.message + ": " + file + ": " +
                             (reason.empty() ? "the file cannot be read" : reason));
    }
    if (prepared.status != ImageStatus::Ok) return fail(err, prepared.message);
    const MappedPicture& mapped = prepared.mapped;
    const std::vector<std::string> others =
        set == "monster"    ? monsterImportSharers(sets.monsters, *index, mapped)
        : set == "portrait" ? portraitImportSharers(sets.portraits, *index, mapped)
                            : characterImportSharers(sets.characters, *index, mapped);
    if (!others.empty()) err << sharedPaletteLine(others) << '\n';
    if (mapped.approximated > 0) {
        err << "palette kept: " << mapped.approximated
            << " pixels took the nearest colour of the current palette\n";
    }
    const bool imported = set == "monster" ? applyMonsterImport(sets.monsters, *index, mapped)
                          : set == "portrait"
                              ? applyPortraitImport(sets.portraits, *index, mapped)
                              : applyCharacterImport(sets.characters, *index, mapped);
    if (!imported) return fail(err, "cannot import " + file);
    return session.save() ? kExitSuccess : kExitFailure;
}

}  // namespace

int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) return usage(err, "missing command");
    const std::string& command = args[0];
    if (command == "--help" || command == "-h" || command == "help") {
        out << kUsage;
        return kExitSuccess;
    }
    if (command == "--version") {
        out << kVersionLine << '\n';
        return kExitSuccess;
    }
    if (command == "demo-rom") return demoRom(args, err);
    if (command == "info") return info(args, out, err);
    if (command == "export") return exportCommand(args, out, err);
    if (command == "import") return importCommand(args, out, err);
    if (command == "import-dir") return importDirCommand(args, out, err);
    if (command == "diff") return diffCommand(args, out, err);
    if (command == "patch") return patchCommand(args, out, err);
    if (command == "check") return checkCommand(args, out, err);
    if (command == "battle") return battleCommand(args, out, err);
    if (command == "palette") return paletteCommand(args, out, err);
    return usage(err, "unknown command '" + command + "'");
}

}  // namespace morvik::cli
