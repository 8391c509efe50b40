#include "cli/cli_commands.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <ostream>

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
    "                    [--backup] [--fix-checksum] [--force]\n"
    "  morvik-cli import-dir ROM DIR [--palette file|keep|renumber] [--dry-run]\n"
    "                    [--backup] [--fix-checksum] [--force]\n"
    "  morvik-cli diff A B [--out DIR]\n"
    "  morvik-cli --help\n"
    "  morvik-cli --version\n";

int usage(std::ostream& err) {
    err << kUsage;
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

std::optional<int> parseIndex(const std::string& text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

int demoRom(const std::vector<std::string>& args, std::ostream& err) {
    if (args.size() < 2) return usage(err);
    DemoRomOptions options;
    for (std::size_t i = 2; i < args.size(); ++i) {
        if (args[i] == "--no-header") {
            options.header = false;
        } else if (args[i] == "--layout" && i + 1 < args.size() &&
                   (args[i + 1] == "original" || args[i + 1] == "expanded")) {
            options.layout = args[++i] == "original" ? monsters::MonsterLayoutKind::Original
                                                     : monsters::MonsterLayoutKind::Expanded;
        } else {
            return usage(err);
        }
    }
    if (!writeDemoRom(pathFromUtf8(args[1]), options)) return fail(err, "cannot write " + args[1]);
    return kExitSuccess;
}

int info(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 2) return usage(err);
    Session session(pathFromUtf8(args[1]), out, err);
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
    return kExitSuccess;
}

struct ExportOptions {
    ImageFileType type = ImageFileType::Png;
    std::optional<ItemKind> only;  // nothing: every set
};

std::optional<ExportOptions> parseExportOptions(const std::vector<std::string>& args) {
    ExportOptions options;
    for (std::size_t i = 3; i < args.size(); i += 2) {
        if (i + 1 >= args.size()) return std::nullopt;
        const std::string& value = args[i + 1];
        if (args[i] == "--format") {
            if (value == "png") {
                options.type = ImageFileType::Png;
            } else if (value == "bmp") {
                options.type = ImageFileType::Bmp;
            } else if (value == "pcx") {
                options.type = ImageFileType::Pcx;
            } else {
                return std::nullopt;
            }
        } else if (args[i] == "--only") {
            const auto kind = std::ranges::find_if(
                kAllItemKinds, [&](ItemKind k) { return value == itemFolderName(k); });
            if (kind == kAllItemKinds.end()) return std::nullopt;
            options.only = *kind;
        } else {
            return std::nullopt;
        }
    }
    return options;
}

int exportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() < 3) return usage(err);
    const auto options = parseExportOptions(args);
    if (!options) return usage(err);
    Session session(pathFromUtf8(args[1]), out, err);
    if (!session.open()) return kExitFailure;
    const FolderExport exported = exportFolder(session.sets, session.backgrounds.battleBackgrounds,
                                               pathFromUtf8(args[2]), options->type, options->only);
    if (!exported.ok()) err << exported.error << '\n';
    return exported.ok() ? kExitSuccess : kExitFailure;
}

}  // namespace

// The flags after the import's own arguments; nothing on an unknown one.
std::optional<ImportFlags> parseImportFlags(const std::vector<std::string>& args,
                                            std::size_t first) {
    ImportFlags flags;
    SaveOptions& options = flags.saving;
    for (std::size_t i = first; i < args.size(); ++i) {
        if (args[i] == "--palette" && i + 1 < args.size()) {
            const auto mode = paletteModeNamed(args[++i]);
            if (!mode) return std::nullopt;
            flags.palette = *mode;
        } else if (args[i] == "--backup") {
            options.backup = true;
        } else if (args[i] == "--fix-checksum") {
            options.fixChecksum = true;
        } else if (args[i] == "--force") {
            options.force = true;
        } else {
            return std::nullopt;
        }
    }
    return flags;
}

namespace {

int importCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() < 5) return usage(err);
    const auto flags = parseImportFlags(args, 5);
    if (!flags) return usage(err);
    const std::string& set = args[2];
    const auto index = parseIndex(args[3]);
    if (set != "monster" && set != "portrait" && set != "character") {
        return fail(err, "unknown set '" + set + "': use monster, portrait or character");
    }
    const int count = set == "monster"    ? monsters::kRecordCount
                      : set == "portrait" ? portraits::kPortraitCount
                                          : sprites::kCharacterCount;
    if (!index || *index < 0 || *index >= count) {
        return fail(err, "index out of range: " + args[3] + " (" + set + "s are 0.." +
                             std::to_string(count - 1) + ")");
    }
    const ImportLimits& limits = set == "monster"    ? kMonsterImportLimits
                                 : set == "portrait" ? kPortraitImportLimits
                                                     : kCharacterImportLimits;
    Session session(pathFromUtf8(args[1]), out, err, flags->saving);
    if (!session.open()) return kExitFailure;
    DataSets& sets = session.sets;
    const ImportTarget target = set == "monster" ? monsterImportTarget(sets.monsters, *index)
                                : set == "portrait"
                                    ? portraitImportTarget(sets.portraits, *index)
                                    : characterImportTarget(sets.characters, *index);
    const PreparedImport prepared =
        prepareImport(pathFromUtf8(args[4]), limits, target, flags->palette);
    // A file that cannot be read is named, with the system's reason.
    if (prepared.status == ImageStatus::CannotRead) {
        const std::string reason = unreadableReason(pathFromUtf8(args[4]));
        return fail(err, prepared.message + ": " + args[4] + ": " +
                             (reason.empty() ? "the file cannot be read" : reason));
    }
    if (prepared.status != ImageStatus::Ok) return fail(err, prepared.message);
    const MappedPicture& mapped = prepared.mapped;
    if (changesPalette(mapped, target)) {
        const std::vector<std::string> others =
            set == "monster"
                ? monsterPaletteSharers(sets.monsters, *index, mapped.picture.colourCount())
            : set == "portrait" ? portraitPaletteSharers(sets.portraits, *index)
                                : characterPaletteSharers(sets.characters, *index);
        if (!others.empty()) err << sharedPaletteLine(others) << '\n';
    }
    if (mapped.approximated > 0) {
        err << "palette kept: " << mapped.approximated
            << " pixels took the nearest colour of the current palette\n";
    }
    const bool imported = set == "monster" ? applyMonsterImport(sets.monsters, *index, mapped)
                          : set == "portrait"
                              ? applyPortraitImport(sets.portraits, *index, mapped)
                              : applyCharacterImport(sets.characters, *index, mapped);
    if (!imported) return fail(err, "cannot import " + args[4]);
    return session.save() ? kExitSuccess : kExitFailure;
}

}  // namespace

int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) return usage(err);
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
    if (command == "info" && args.size() == 3 && args[2] == "--json")
        return infoJsonCommand(args, out, err);
    if (command == "info") return info(args, out, err);
    if (command == "export") return exportCommand(args, out, err);
    if (command == "import") return importCommand(args, out, err);
    if (command == "import-dir") return importDirCommand(args, out, err);
    if (command == "diff") return diffCommand(args, out, err);
    return usage(err);
}

}  // namespace morvik::cli
