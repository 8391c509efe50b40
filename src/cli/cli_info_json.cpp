#include <ostream>
#include <utility>

#include "cli/cli_batch.h"
#include "cli/cli_commands.h"
#include "cli/cli_session.h"
#include "rom/file_path.h"
#include "rom/monsters/monster_save.h"

namespace morvik::cli {

namespace {

// One member of the object: the key and the value already written as JSON.
using Member = std::pair<const char*, std::string>;

// The texts here are the program's own (names and addresses): nothing to escape.
std::string quoted(const std::string& text) {
    return '"' + text + '"';
}

template <typename Number>
std::string number(Number value) {
    return std::to_string(value);
}

std::string boolean(bool value) {
    return value ? "true" : "false";
}

std::vector<Member> infoMembers(const Session& session) {
    const MonsterGraphicsSet& monsters = session.sets.monsters;
    const RomForm& form = session.form();
    std::vector<Member> members = {
        {"header_bytes", number(form.headerSize)},
        {"layout", quoted(layoutName(form.monsters.kind))},
        {"graphics_at", quoted(bankAddress(form.monsters.graphicsAddress()))},
        {"molds_at", quoted(bankAddress(form.monsters.moldPointersAddress()))},
        {"layout_assumed", boolean(form.layoutAssumed)},
        {"monster_records", number(monsters.records.size())},
        {"graphics_entries", number(monsters.entryCount)},
        {"small_molds", number(monsters.smallMolds.size())},
        {"large_molds", number(monsters.largeMolds.size())},
        {"used_graphics_bytes", number(usedGraphicsBytes(monsters))},
        {"free_graphics_space", number(freeGraphicsSpace(monsters))},
        {"portraits", number(session.sets.portraits.portraits.size())},
        {"characters", number(session.sets.characters.characters.size())},
        {"battle_backgrounds", number(session.battleBackgroundCount())},
    };
    if (const auto checksum = session.checksum()) {
        members.emplace_back("checksum_ok", boolean(checksum->ok()));
        members.emplace_back("checksum_stored", number(checksum->stored));
        members.emplace_back("checksum_computed", number(checksum->computed));
    }
    if (const auto crc = session.crc32()) members.emplace_back("crc32", number(*crc));
    return members;
}

}  // namespace

int infoJsonCommand(const std::string& rom, std::ostream& out, std::ostream& err) {
    Session session(pathFromUtf8(rom), out, err);
    session.describeOnly();
    if (!session.open()) return kExitFailure;
    const std::vector<Member> members = infoMembers(session);
    out << "{\n";
    for (std::size_t i = 0; i < members.size(); ++i) {
        out << "  " << quoted(members[i].first) << ": " << members[i].second
            << (i + 1 < members.size() ? ",\n" : "\n");
    }
    out << "}\n";
    return kExitSuccess;
}

}  // namespace morvik::cli
