#include <ostream>

#include "cli/cli_args.h"
#include "cli/cli_batch.h"
#include "cli/cli_commands.h"
#include "cli/cli_session.h"
#include "imagefile/png_file.h"
#include "rom/battle/battle_check.h"
#include "rom/file_path.h"
#include "transfer/battle_picture.h"

namespace morvik::cli {

namespace {

constexpr const char* kCheckUsage = "Usage: morvik-cli check ROM [--json]\n";
constexpr const char* kBattleUsage =
    "Usage: morvik-cli battle ROM FORMATION OUT.png [--background N]\n";

// check's own status for trouble: 1 already says "problems found".
constexpr int kCheckTrouble = 2;

int usageOf(const char* text, std::ostream& err, const std::string& why) {
    err << why << '\n' << text;
    return kExitUsage;
}

// Names come from the ROM: anything but plain printable text is escaped.
std::string jsonString(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte >= 0x7F) {
            static constexpr char kHex[] = "0123456789abcdef";
            out += "\\u00";
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        } else {
            out += c;
        }
    }
    return out + '"';
}

std::string problemJson(const MonsterGraphicsSet& set, const BattleProblem& p) {
    std::string json =
        "{\"kind\": " + jsonString(battleProblemKindName(p.kind)) +
        ", \"monster\": " + std::to_string(p.monster) +
        ", \"name\": " + jsonString(set.records[static_cast<std::size_t>(p.monster)].name) +
        ", \"formation\": " + (p.formation >= 0 ? std::to_string(p.formation) : "null");
    const auto add = [&json](const char* key, int value) {
        json += ", \"" + std::string(key) + "\": " + std::to_string(value);
    };
    switch (p.kind) {
        case BattleProblemKind::Rows:
            add("empty_row", p.emptyRow);
            add("first_lost_row", p.firstLostRow);
            add("last_lost_row", p.lastLostRow);
            break;
        case BattleProblemKind::FirstRow:
            break;
        case BattleProblemKind::Cut:
        case BattleProblemKind::Garbled:
            add("picture_width", p.pictureWidth);
            add("picture_height", p.pictureHeight);
            add(p.kind == BattleProblemKind::Cut ? "drawn_width" : "place_width", p.width);
            add(p.kind == BattleProblemKind::Cut ? "drawn_height" : "place_height", p.height);
            break;
        case BattleProblemKind::Palette:
            add("palettes", p.paletteCount);
            add("shown_palette", p.shownPalette);
            add("own_palette", p.ownPalette);
            break;
    }
    return json + ", \"line\": " + jsonString(battleProblemLine(set, p)) + "}";
}

std::optional<int> parseNumber(const std::string& text) {
    if (text.empty() || text.size() > 4) return std::nullopt;
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

}  // namespace

int checkCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const ParsedArgs parsed = parseArgs(args, 1, {{"ROM"}, {flagOption("--json")}});
    if (!parsed.error.empty()) return usageOf(kCheckUsage, err, parsed.error);
    Session session(pathFromUtf8(parsed.positionals[0]), out, err);
    session.describeOnly();
    if (!session.open()) return kCheckTrouble;
    const MonsterGraphicsSet& monsters = session.sets.monsters;
    const std::vector<BattleProblem> problems = findBattleProblems(monsters, session.sets.battle);
    if (parsed.has("--json")) {
        out << "{\"problems\": [";
        for (std::size_t i = 0; i < problems.size(); ++i)
            out << (i == 0 ? "\n  " : ",\n  ") << problemJson(monsters, problems[i]);
        out << (problems.empty() ? "]}\n" : "\n]}\n");
    } else {
        for (const BattleProblem& problem : problems)
            out << battleProblemLine(monsters, problem) << '\n';
        out << problems.size() << (problems.size() == 1 ? " problem\n" : " problems\n");
    }
    return problems.empty() ? kExitSuccess : kExitFailure;
}

int battleCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const ParsedArgs parsed =
        parseArgs(args, 1, {{"ROM", "FORMATION", "OUT.png"}, {valueOption("--background")}});
    if (!parsed.error.empty()) return usageOf(kBattleUsage, err, parsed.error);
    const std::string& formationText = parsed.positionals[1];
    const std::optional<int> formation = parseNumber(formationText);
    if (!formation || *formation >= battle::kFormationCount) {
        err << "formation out of range: " << formationText << " (formations are 0.."
            << battle::kFormationCount - 1 << ")\n";
        return kExitFailure;
    }
    const std::string backgroundText = parsed.value("--background", "0");
    const std::optional<int> background = parseNumber(backgroundText);
    Session session(pathFromUtf8(parsed.positionals[0]), out, err);
    if (!session.open()) return kExitFailure;
    const auto& backgrounds = session.backgrounds.battleBackgrounds;
    if (!background || *background >= static_cast<int>(backgrounds.size())) {
        err << "background out of range: " << backgroundText << " (backgrounds are 0.."
            << static_cast<int>(backgrounds.size()) - 1 << ")\n";
        return kExitFailure;
    }
    const FormationView view =
        viewFormation(session.sets.monsters, session.sets.battle, *formation);
    const IndexedImage picture = composeFormation(
        session.sets.monsters, view, &backgrounds[static_cast<std::size_t>(*background)]);
    const std::string& file = parsed.positionals[2];
    if (writePng(picture, pathFromUtf8(file), picture.width(), picture.height(), PngZero::Opaque) !=
        ImageStatus::Ok) {
        err << "cannot write " << file << '\n';
        return kExitFailure;
    }
    out << "wrote " << file << '\n';
    return kExitSuccess;
}

}  // namespace morvik::cli
