#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "backgrounds/battle_background.h"
#include "demo/demo_rom.h"
#include "document/version.h"
#include "imagefile/image_file.h"
#include "rom/battle/battle_check.h"
#include "rom/file_path.h"
#include "rom/monsters/monster_edit.h"
#include "rom/monsters/monster_load.h"
#include "rom/monsters/monster_save.h"
#include "rom/portraits/portrait_set.h"
#include "support/closed_folder.h"
#include "support/ordinary_user.h"
#include "support/rom_files.h"
#include "support/run_process.h"
#include "support/temp_dir.h"
#include "transfer/battle_picture.h"
#include "transfer/image_transfer.h"
#include "transfer/patch.h"

namespace morvik {
namespace {

namespace fs = std::filesystem;

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string slurp(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string withoutCarriageReturns(std::string text) {
    std::erase(text, '\r');
    return text;
}

// The lines of a save that wrote the file: "ROM saved", then how many bytes it changed.
bool savedLines(const std::string& out) {
    return std::regex_search(out, std::regex("ROM saved\nbytes changed: [1-9][0-9]*\n$"));
}

// "A4EEDE27": the CRC32 of a file's bytes past its copier header.
std::string crcText(const std::vector<std::uint8_t>& file, std::size_t headerSize) {
    char text[12];
    std::snprintf(text, sizeof text, "%08X",
                  static_cast<unsigned>(crc32Of(std::span(file).subspan(headerSize))));
    return text;
}

// Runs the built morvik-cli with the arguments, in the test's folder.
class Cli : public ::testing::Test {
  protected:
    void SetUp() override {
        rom = dir.file("demo.smc");
        ASSERT_EQ(run({"demo-rom", rom.string()}).status, 0);
    }

    CliRun run(const std::vector<std::string>& args,
               const std::function<bool()>& inChild = {}) const {
        const fs::path out = dir.file("stdout.txt");
        const fs::path err = dir.file("stderr.txt");
        CliRun result;
        result.status = test::runProcess(MORVIK_CLI_PATH, args, out, err, inChild, kCannotSwitch);
        // Windows ends lines with CR LF; the lines are what is compared.
        result.out = withoutCarriageReturns(slurp(out));
        result.err = withoutCarriageReturns(slurp(err));
        return result;
    }

    // As run(), by an ordinary user: root, who may write any file, runs the
    // tool as the ordinary account. Status kCannotSwitch when it cannot.
    static constexpr int kCannotSwitch = 126;
    CliRun runAsOrdinaryUser(const std::vector<std::string>& args) const {
        return run(args, test::becomeOrdinaryUser);
    }
    // The test's folder reached by everyone, written only by its owner.
    void shareFolder() const {
        fs::permissions(dir.path(), fs::perms::owner_all | fs::perms::group_read |
                                        fs::perms::group_exec | fs::perms::others_read |
                                        fs::perms::others_exec);
    }

    static IndexedImage read(const fs::path& path) {
        IndexedImage image;
        EXPECT_EQ(readImageFile(image, path, 256, 512, 512), ImageStatus::Ok) << path;
        return image;
    }

    test::TempDir dir;
    fs::path rom;
};

TEST_F(Cli, UsageAndHelp) {
    const CliRun none = run({});
    EXPECT_EQ(none.status, 2);
    EXPECT_NE(none.err.find("Usage:"), std::string::npos);
    const CliRun help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("morvik-cli export ROM DIR"), std::string::npos);
    const CliRun version = run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("morvik ") + kVersion + "\n");
    EXPECT_EQ(run({"diff", rom.string(), dir.file("missing.smc").string()}).status, 2);
}

// A usage error says what was wrong in one line, then the usage, and exits 2.
TEST_F(Cli, UsageErrorsSayWhatWasWrong) {
    const std::string path = rom.string();
    const std::vector<std::pair<std::vector<std::string>, std::string>> wrong = {
        {{}, "missing command"},
        {{"frobnicate", "x"}, "unknown command 'frobnicate'"},
        {{"info"}, "missing ROM"},
        {{"info", path, "extra"}, "unexpected argument 'extra'"},
        {{"info", path, "--frob"}, "unknown option --frob"},
        {{"export", path, "out", "--format", "gif"}, "unknown option --format gif"},
        {{"export", path, "out", "--only"}, "missing value for --only"},
        {{"import", path, "monster", "1", "x.png", "--palette", "bogus"},
         "unknown option --palette bogus"},
        {{"import", path, "sprite", "1", "x.png"}, "unknown item kind 'sprite'"},
        {{"import-dir", path, "art", "--palette", "all"}, "unknown option --palette all"},
        {{"diff", path}, "missing B"},
        {{"demo-rom", "x.smc", "--layout", "sideways"}, "unknown option --layout sideways"},
    };
    for (const auto& [args, line] : wrong) {
        const CliRun result = run(args);
        EXPECT_EQ(result.status, 2) << line;
        EXPECT_EQ(result.err.substr(0, line.size() + 1), line + "\n") << result.err;
        EXPECT_NE(result.err.find("Usage:"), std::string::npos) << line;
    }
    // Options come before or after the positional arguments.
    const CliRun json = run({"info", "--json", path});
    EXPECT_EQ(json.status, 0) << json.err;
    EXPECT_EQ(json.out, run({"info", path, "--json"}).out);
    const fs::path out = dir.file("portraits-only");
    ASSERT_EQ(run({"export", "--only", "portraits", path, out.string()}).status, 0);
    EXPECT_TRUE(fs::exists(out / "portraits"));
    EXPECT_FALSE(fs::exists(out / "monsters"));
}

TEST_F(Cli, InfoDescribesTheRomAsTheEditorLoadsIt) {
    MonsterGraphicsSet set;
    ASSERT_EQ(loadMonsterGraphics(set, rom), RomLoadResult::Loaded);
    const CliRun info = run({"info", rom.string()});
    ASSERT_EQ(info.status, 0) << info.err;
    const std::string expected =
        "header: 512 bytes\nlayout: expanded (graphics at F2:0000, molds at F1:A820)\n"
        "monster records: 415\ngraphics entries: " +
        std::to_string(set.entryCount) + "\nsmall molds: " + std::to_string(set.smallMolds.size()) +
        "\nlarge molds: " + std::to_string(set.largeMolds.size()) +
        "\nused graphics bytes: " + std::to_string(usedGraphicsBytes(set)) +
        "\nfree graphics space: " + std::to_string(freeGraphicsSpace(set)) +
        "\nportraits: 19\ncharacters: 22\nbattle backgrounds: 55\nchecksum: ok\ncrc32: " +
        crcText(test::readFileBytes(rom), kCopierHeaderSize) + "\n";
    EXPECT_EQ(info.out, expected);
}

TEST_F(Cli, EveryKindOfRomSaysWhatItIsAndExportsTheSamePictures) {
    const fs::path reference = dir.file("export-reference");
    ASSERT_EQ(run({"export", rom.string(), reference.string()}).status, 0);
    const std::vector<std::pair<std::vector<std::string>, std::string>> kinds = {
        {{"--no-header"},
         "header: none\nlayout: expanded (graphics at F2:0000, molds at F1:A820)\n"},
        {{"--layout", "original"},
         "header: 512 bytes\nlayout: original (graphics at E9:7000, molds at D2:A820)\n"},
        {{"--layout", "original", "--no-header", "--layout", "original"},
         "header: none\nlayout: original (graphics at E9:7000, molds at D2:A820)\n"},
    };
    for (const auto& [options, description] : kinds) {
        const fs::path kind = dir.file("kind.smc");
        std::vector<std::string> args = {"demo-rom", kind.string()};
        args.insert(args.end(), options.begin(), options.end());
        ASSERT_EQ(run(args).status, 0) << description;
        const CliRun info = run({"info", kind.string()});
        EXPECT_EQ(info.out.substr(0, description.size()), description);
        const fs::path out = dir.file("export-kind");
        fs::remove_all(out);
        ASSERT_EQ(run({"export", kind.string(), out.string()}).status, 0) << description;
        int files = 0;
        for (const auto& entry : fs::recursive_directory_iterator(reference)) {
            if (!entry.is_regular_file()) continue;
            ++files;
            EXPECT_TRUE(test::readFileBytes(entry.path()) ==
                        test::readFileBytes(out / fs::relative(entry.path(), reference)))
                << entry.path();
        }
        EXPECT_EQ(files, 415 + 19 + 22 + 55);
    }
    EXPECT_EQ(run({"demo-rom", dir.file("x.smc").string(), "--layout", "sideways"}).status, 2);
}

TEST_F(Cli, ExportWritesEverySetInEveryFormat) {
    MonsterGraphicsSet set;
    ASSERT_EQ(loadMonsterGraphics(set, rom), RomLoadResult::Loaded);
    for (const std::string format : {"png", "bmp", "pcx"}) {
        const fs::path out = dir.file("export-" + format);
        const CliRun exported = run({"export", rom.string(), out.string(), "--format", format});
        ASSERT_EQ(exported.status, 0) << exported.err;
        auto count = [&](const char* folder) {
            return std::distance(fs::directory_iterator(out / folder), fs::directory_iterator{});
        };
        EXPECT_EQ(count("monsters"), 415);
        EXPECT_EQ(count("portraits"), 19);
        EXPECT_EQ(count("characters"), 22);
        EXPECT_EQ(count("backgrounds"), 55);
        for (int i : {0, 100, 414}) {
            const std::string name = std::string(i < 10    ? "00"
                                                 : i < 100 ? "0"
                                                           : "") +
                                     std::to_string(i) + "." + format;
            const IndexedImage monster = read(out / "monsters" / name);
            EXPECT_EQ(monster.width(), monsterVisibleExtent(set, i).width) << name;
            EXPECT_EQ(monster.height(), monsterVisibleExtent(set, i).height) << name;
        }
        EXPECT_EQ(read(out / "portraits" / ("18." + format)).width(), 40);
        const IndexedImage sheet = read(out / "characters" / ("21." + format));
        EXPECT_EQ(sheet.width(), 128);
        EXPECT_EQ(sheet.height(), 128);
        for (int x = 0; x < 128; ++x)
            EXPECT_EQ(sheet.getPixel(x, 124), 0);
        const IndexedImage background = read(out / "backgrounds" / ("54." + format));
        EXPECT_EQ(background.width(), 256);
        EXPECT_EQ(background.height(), 152);
    }
    // One set only; existing files are overwritten.
    const fs::path out = dir.file("export-png");
    ASSERT_EQ(run({"export", rom.string(), out.string(), "--only", "portraits"}).status, 0);
    const fs::path only = dir.file("only");
    ASSERT_EQ(run({"export", rom.string(), only.string(), "--only", "portraits"}).status, 0);
    EXPECT_TRUE(fs::exists(only / "portraits"));
    EXPECT_FALSE(fs::exists(only / "monsters"));
}

// Imports one item's exported picture into another item and exports again:
// the second item must then look exactly like the first.
void expectSamePicture(const IndexedImage& a, const IndexedImage& b) {
    ASSERT_EQ(a.width(), b.width());
    ASSERT_EQ(a.height(), b.height());
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const bool clearA = a.getPixel(x, y) == 0, clearB = b.getPixel(x, y) == 0;
            ASSERT_EQ(clearA, clearB) << x << "," << y;
            if (!clearA) {
                ASSERT_EQ(a.getPixelColour(x, y), b.getPixelColour(x, y)) << x << "," << y;
            }
        }
    }
}

TEST_F(Cli, ImportThenExportRoundTrips) {
    const fs::path before = dir.file("before");
    ASSERT_EQ(run({"export", rom.string(), before.string()}).status, 0);
    const struct {
        const char* set;
        const char* folder;
        std::string from, to;
        int target;
    } cases[] = {{"monster", "monsters", "010.png", "020.png", 20},
                 {"portrait", "portraits", "07.png", "03.png", 3},
                 {"character", "characters", "05.png", "06.png", 6}};
    for (const auto& c : cases) {
        const CliRun imported = run({"import", rom.string(), c.set, std::to_string(c.target),
                                     (before / c.folder / c.from).string()});
        ASSERT_EQ(imported.status, 0) << c.set << ": " << imported.err;
        EXPECT_TRUE(savedLines(imported.out)) << imported.out;
    }
    const fs::path after = dir.file("after");
    ASSERT_EQ(run({"export", rom.string(), after.string()}).status, 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.set);
        expectSamePicture(read(before / c.folder / c.from), read(after / c.folder / c.to));
    }
}

TEST_F(Cli, PaletteExportAndImportMoveAnItemsColoursThroughAFile) {
    // A portrait's palette as a file of every format, into a monster: only
    // the monster's colour words change, and what shares them is named.
    for (const char* name : {"p.gpl", "p.pal", "p.act", "p.bin"}) {
        SCOPED_TRACE(name);
        const CliRun exported =
            run({"palette", "export", rom.string(), "portrait", "2", dir.file(name).string()});
        ASSERT_EQ(exported.status, 0) << exported.err;
        EXPECT_EQ(exported.out,
                  "palette exported: 16 colours to " + dir.file(name).string() + "\n");
    }
    const test::Bytes before = test::readFileBytes(rom);
    const CliRun imported =
        run({"palette", "import", rom.string(), "monster", "5", dir.file("p.act").string()});
    ASSERT_EQ(imported.status, 0) << imported.err;
    EXPECT_TRUE(savedLines(imported.out)) << imported.out;
    const test::Bytes after = test::readFileBytes(rom);
    std::size_t changed = 0;
    for (std::size_t i = 0; i < before.size(); ++i)
        changed += before[i] != after[i];
    EXPECT_GT(changed, 0u);
    EXPECT_LE(changed, 32u) << "no more than the palette's 16 colour words";
    for (const char* name : {"p.gpl", "p.pal", "p.bin"}) {
        const CliRun again =
            run({"palette", "import", rom.string(), "monster", "5", dir.file(name).string()});
        EXPECT_EQ(again.out, "palette unchanged: the ROM already has these colours\n") << name;
    }
    EXPECT_TRUE(test::readFileBytes(rom) == after);

    // Refused: fixed colours, a damaged file, a bad ending or index; the ROM
    // stays as it was.
    ASSERT_TRUE(writeWholeFile(dir.file("bad.gpl"), test::Bytes{'G', 'I', 'M', 'P'}));
    const struct {
        std::vector<std::string> args;
        int status;
    } refused[] = {
        {{"palette", "import", rom.string(), "character", "18", dir.file("p.gpl").string()}, 1},
        {{"palette", "import", rom.string(), "monster", "5", dir.file("bad.gpl").string()}, 1},
        {{"palette", "import", rom.string(), "monster", "5", dir.file("none.gpl").string()}, 1},
        {{"palette", "export", rom.string(), "monster", "5", dir.file("p.txt").string()}, 2},
        {{"palette", "export", rom.string(), "portrait", "19", dir.file("q.gpl").string()}, 1},
        {{"palette", "swap", rom.string()}, 2},
    };
    for (const auto& r : refused) {
        const CliRun result = run(r.args);
        EXPECT_EQ(result.status, r.status) << r.args[1] << " " << r.args[3] << ": " << result.err;
        EXPECT_FALSE(result.err.empty());
    }
    EXPECT_TRUE(test::readFileBytes(rom) == after);
    EXPECT_FALSE(fs::exists(dir.file("q.gpl")));
}

TEST_F(Cli, ImportKeepsABackupAndFixesTheChecksumOnlyWhenAsked) {
    const fs::path art = dir.file("art");
    ASSERT_EQ(run({"export", rom.string(), art.string(), "--only", "portraits"}).status, 0);
    const std::string picture = (art / "portraits" / "07.png").string();
    const fs::path backup = rom.string() + ".bak";
    const test::Bytes original = test::readFileBytes(rom);

    // Without flags: no backup, and the checksum is left as it was.
    ASSERT_EQ(run({"import", rom.string(), "portrait", "3", picture}).status, 0);
    EXPECT_FALSE(fs::exists(backup));
    const std::string info = run({"info", rom.string()}).out;
    EXPECT_NE(info.find("checksum: wrong (stored "), std::string::npos) << info;
    EXPECT_NE(info.find(", computed "), std::string::npos);

    const test::Bytes once = test::readFileBytes(rom);
    const CliRun flagged =
        run({"import", rom.string(), "portrait", "4", picture, "--backup", "--fix-checksum"});
    ASSERT_EQ(flagged.status, 0) << flagged.err;
    EXPECT_TRUE(test::readFileBytes(backup) == once);
    EXPECT_NE(run({"info", rom.string()}).out.find("checksum: ok\n"), std::string::npos);
    EXPECT_FALSE(test::readFileBytes(rom) == original);
    EXPECT_EQ(run({"import", rom.string(), "portrait", "4", picture, "--backups"}).status, 2);
}

TEST_F(Cli, ImportChoosesHowTheFilesColoursBecomeTheItems) {
    const fs::path art = dir.file("art");
    ASSERT_EQ(
        run({"export", rom.string(), art.string(), "--only", "monsters", "--format", "bmp"}).status,
        0);
    const std::string own = (art / "monsters" / "010.bmp").string();
    // The first save puts the ROM in the form every save gives it; after
    // that an exported picture comes back without changing a byte.
    ASSERT_EQ(run({"import", rom.string(), "monster", "10", own}).status, 0);
    const test::Bytes saved = test::readFileBytes(rom);
    ASSERT_EQ(run({"import", rom.string(), "monster", "10", own}).status, 0);
    EXPECT_TRUE(test::readFileBytes(rom) == saved);

    const std::string other = (art / "monsters" / "011.bmp").string();
    EXPECT_EQ(run({"import", rom.string(), "monster", "10", other, "--palette", "renumber"}).status,
              0);
    const CliRun noPalette =
        run({"import", rom.string(), "monster", "10", other, "--palette", "file"});
    EXPECT_EQ(noPalette.status, 1);
    EXPECT_EQ(noPalette.err, "The file's palette cannot be used: the file has no palette\n");
    EXPECT_EQ(run({"import", rom.string(), "monster", "10", other, "--palette", "all"}).status, 2);
}

// The part of each line before the colon, without a name in brackets:
// "monster 010 (Guard): pixels 37" gives "monster 010".
std::vector<std::string> itemLabels(const std::string& text) {
    std::vector<std::string> labels;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t colon = line.find(':');
        if (colon != std::string::npos)
            labels.push_back(line.substr(0, std::min(colon, line.find(" ("))));
    }
    return labels;
}

TEST_F(Cli, ImportDirTakesTheChangedPicturesOfAnExportAndDiffNamesThem) {
    const fs::path art = dir.file("art");
    ASSERT_EQ(run({"export", rom.string(), art.string()}).status, 0);
    const fs::path original = dir.file("original.smc");
    fs::copy_file(rom, original);
    const test::Bytes before = test::readFileBytes(rom);
    const CliRun untouched = run({"import-dir", rom.string(), art.string()});
    EXPECT_EQ(untouched.status, 0) << untouched.err;
    EXPECT_EQ(untouched.out, "0 items changed, 456 unchanged\n");
    EXPECT_TRUE(test::readFileBytes(rom) == before);

    test::copyOver(art / "portraits/07.png", art / "portraits/03.png");
    // Monster 010 drawn as 011, alone in its folder: no file of a record that
    // shares its graphics or palette draws them otherwise.
    fs::rename(art / "monsters/011.png", dir.file("011.png"));
    fs::remove_all(art / "monsters");
    fs::create_directory(art / "monsters");
    fs::copy_file(dir.file("011.png"), art / "monsters/010.png");
    const CliRun dry = run({"import-dir", rom.string(), art.string(), "--dry-run"});
    ASSERT_EQ(dry.status, 0) << dry.err;
    EXPECT_TRUE(test::readFileBytes(rom) == before);
    const std::vector<std::string> labels = itemLabels(dry.out);
    EXPECT_NE(std::ranges::find(labels, "monster 010"), labels.end());
    EXPECT_NE(std::ranges::find(labels, "portrait 03"), labels.end());
    EXPECT_NE(dry.out.find("\n" + std::to_string(labels.size()) + " items changed, " +
                           std::to_string(456 - labels.size()) + " unchanged\n"),
              std::string::npos)
        << dry.out;
    const CliRun imported = run({"import-dir", rom.string(), art.string(), "--backup"});
    ASSERT_EQ(imported.status, 0) << imported.err;
    EXPECT_TRUE(imported.out.starts_with(dry.out + "ROM saved\n")) << imported.out;
    EXPECT_TRUE(savedLines(imported.out)) << imported.out;
    EXPECT_TRUE(test::readFileBytes(rom.string() + ".bak") == before);

    const CliRun same = run({"diff", rom.string(), rom.string()});
    EXPECT_EQ(same.status, 0);
    EXPECT_EQ(same.out, "0 items differ\n");
    const fs::path pictures = dir.file("pictures");
    const CliRun diff = run({"diff", original.string(), rom.string(), "--out", pictures.string()});
    EXPECT_EQ(diff.status, 1) << diff.err;
    EXPECT_EQ(itemLabels(diff.out), labels) << diff.out;
    EXPECT_NE(diff.out.find("\nportrait 03: pixels "), std::string::npos) << diff.out;
    EXPECT_EQ(read(pictures / "portraits" / "03.png").width(), 3 * 40 + 4);
    EXPECT_TRUE(fs::exists(pictures / "monsters" / "010.png"));
}

TEST_F(Cli, ImportDirWithARefusedFileWritesNothing) {
    const fs::path art = dir.file("art");
    ASSERT_EQ(run({"export", rom.string(), art.string(), "--only", "portraits"}).status, 0);
    test::copyOver(art / "portraits/07.png", art / "portraits/03.png");
    fs::copy_file(art / "portraits/07.png", art / "portraits/19.png");
    const test::Bytes before = test::readFileBytes(rom);
    const CliRun refused = run({"import-dir", rom.string(), art.string()});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err, pathToUtf8(art / "portraits" / "19.png") +
                               ": names no portrait (they are 00 to 18)\n"
                               "nothing imported: 1 file refused\n");
    EXPECT_TRUE(test::readFileBytes(rom) == before);
}

TEST_F(Cli, InfoJsonHoldsTheFiguresOfInfo) {
    const std::string text = run({"info", rom.string()}).out;
    const CliRun json = run({"info", rom.string(), "--json"});
    ASSERT_EQ(json.status, 0) << json.err;
    ASSERT_EQ(json.out.substr(0, 2), "{\n");
    ASSERT_EQ(json.out.substr(json.out.size() - 2), "}\n");
    // One member a line: "key": value, with a comma after all but the last.
    std::map<std::string, std::string> members;
    std::istringstream lines(json.out.substr(2, json.out.size() - 4));
    for (std::string line; std::getline(lines, line);) {
        ASSERT_EQ(line.substr(0, 3), "  \"") << line;
        const std::size_t end = line.find("\": ");
        ASSERT_NE(end, std::string::npos) << line;
        std::string value = line.substr(end + 3);
        ASSERT_EQ(value.back() == ',', lines.peek() != EOF) << line;
        if (value.back() == ',') value.pop_back();
        members[line.substr(3, end - 3)] = value;
    }
    // Every figure of info under its name in snake case.
    std::istringstream textLines(text);
    int figures = 0;
    for (std::string line; std::getline(textLines, line);) {
        const std::size_t colon = line.find(": ");
        const std::string value = line.substr(colon + 2);
        if (!std::ranges::all_of(value, [](char c) { return std::isdigit(c) != 0; })) continue;
        std::string key = line.substr(0, colon);
        std::ranges::replace(key, ' ', '_');
        EXPECT_EQ(members[key], value) << key;
        ++figures;
    }
    EXPECT_EQ(figures, 9);
    EXPECT_EQ(members["header_bytes"], "512");
    EXPECT_EQ(members["layout"], "\"expanded\"");
    EXPECT_EQ(members["graphics_at"], "\"F2:0000\"");
    EXPECT_EQ(members["checksum_ok"], "true");
}

// Names outside ASCII come in as UTF-8 and go out in messages the same way.
TEST_F(Cli, FileNamesOutsideAscii) {
    auto named = [&](const char* name) { return dir.path() / pathFromUtf8(name); };
    const std::string unicodeRom = pathToUtf8(named("Ünïcödé モンスター.smc"));
    ASSERT_EQ(run({"demo-rom", unicodeRom}).status, 0);
    EXPECT_TRUE(fs::exists(named("Ünïcödé モンスター.smc")));
    const CliRun info = run({"info", unicodeRom});
    EXPECT_EQ(info.status, 0) << info.err;

    const fs::path out = named("書き出し");
    ASSERT_EQ(run({"export", unicodeRom, pathToUtf8(out), "--only", "portraits"}).status, 0);
    const fs::path picture = named("モンスター画像.png");
    fs::rename(out / "portraits" / "07.png", picture);
    const CliRun imported = run({"import", unicodeRom, "portrait", "3", pathToUtf8(picture)});
    EXPECT_EQ(imported.status, 0) << imported.err;
    EXPECT_TRUE(savedLines(imported.out)) << imported.out;

    ASSERT_TRUE(writeWholeFile(named("塞がり"), test::Bytes{0}));
    const CliRun blocked = run({"export", unicodeRom, pathToUtf8(named("塞がり"))});
    EXPECT_EQ(blocked.err,
              "cannot create folder " + pathToUtf8(named("塞がり") / "monsters") + "\n");
}

// A ROM the user may not write is read as any other, and never written.
TEST_F(Cli, AReadOnlyRomIsReadAndNotWritten) {
    shareFolder();
    const fs::path mine = dir.file("mine");
    fs::create_directory(mine);
    fs::permissions(mine, fs::perms::all);
    fs::permissions(rom, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const test::Bytes original = test::readFileBytes(rom);
    const CliRun info = runAsOrdinaryUser({"info", rom.string()});
    if (info.status == kCannotSwitch) GTEST_SKIP() << test::OrdinaryUser::kCannotSwitch;
    EXPECT_EQ(info.status, 0) << info.err;
    const CliRun exported = runAsOrdinaryUser({"export", rom.string(), (mine / "art").string()});
    EXPECT_EQ(exported.status, 0) << exported.err;
    EXPECT_EQ(runAsOrdinaryUser({"diff", rom.string(), rom.string()}).status, 0);
    const CliRun imported = runAsOrdinaryUser(
        {"import", rom.string(), "portrait", "3", (mine / "art/portraits/07.png").string()});
    EXPECT_EQ(imported.status, 1);
    EXPECT_EQ(imported.err, "error: The ROM was not saved: " + rom.string() + " is read-only\n");
    EXPECT_TRUE(test::readFileBytes(rom) == original);
}

// The new ROM is written beside the old one first: a folder the user may not
// write refuses it, with or without the backup, and one line says so.
TEST_F(Cli, ARomInAFolderTheUserCannotWriteIsNotSavedAndOneLineSaysWhy) {
    shareFolder();
    const fs::path closed = dir.file("closed");
    const fs::path inside = closed / "demo.smc";
    fs::create_directory(closed);
    fs::copy_file(rom, inside);
    fs::permissions(inside, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                fs::perms::group_write | fs::perms::others_read |
                                fs::perms::others_write);
    ASSERT_EQ(run({"export", rom.string(), dir.file("art").string(), "--only", "portraits"}).status,
              0);
    const test::ClosedFolder closing(closed);
    if (!closing.refused()) GTEST_SKIP() << "this system lets anyone add files to any folder";
    const test::Bytes original = test::readFileBytes(inside);
    const std::string picture = pathToUtf8(dir.file("art") / "portraits" / "07.png");
    for (const char* backup : {"--force", "--backup"}) {
        const CliRun refused =
            runAsOrdinaryUser({"import", inside.string(), "portrait", "3", picture, backup});
        if (refused.status == kCannotSwitch) GTEST_SKIP() << test::OrdinaryUser::kCannotSwitch;
        EXPECT_EQ(refused.status, 1);
        EXPECT_EQ(refused.out, "");
        EXPECT_EQ(refused.err, "error: The ROM was not saved: the folder " + closed.string() +
                                   " does not allow new files (Morvik writes the new ROM beside "
                                   "the old one first)\n");
    }
    EXPECT_TRUE(test::readFileBytes(inside) == original);
}

TEST_F(Cli, FailuresSayWhyAndLeaveTheRomAlone) {
    const test::Bytes original = test::readFileBytes(rom);
    auto expectFailure = [&](const std::vector<std::string>& args, const std::string& message) {
        const CliRun result = run(args);
        EXPECT_EQ(result.status, 1) << message;
        EXPECT_EQ(result.err, message + "\n");
        EXPECT_TRUE(test::readFileBytes(rom) == original) << message;
    };
    // Pictures a page cannot take.
    IndexedImage many;
    ASSERT_TRUE(many.create(17, 1));
    for (int x = 0; x < 17; ++x) {
        many.setPixelColour(x, 0, PaletteColour::fromRgb(static_cast<std::uint8_t>(8 * x), 0, 0));
    }
    ASSERT_EQ(writeImage(many, dir.file("many.png"), 17, 1, ImageFileType::Png), ImageStatus::Ok);
    IndexedImage wide;
    ASSERT_TRUE(wide.create(41, 8));
    ASSERT_EQ(writeImage(wide, dir.file("wide.bmp"), 41, 8, ImageFileType::Bmp), ImageStatus::Ok);
    ASSERT_TRUE(writeWholeFile(dir.file("fake.png"), test::Bytes{1, 2, 3}));

    const std::string path = rom.string();
    expectFailure({"import", path, "monster", "1", dir.file("many.png").string()},
                  "Image has more than 16 colors");
    expectFailure({"import", path, "portrait", "1", dir.file("wide.bmp").string()},
                  "Image is larger than 40x40");
    expectFailure(
        {"import", path, "character", "1", dir.file("missing.png").string()},
        "Error opening file: " + dir.file("missing.png").string() + ": No such file or directory");
    expectFailure({"import", path, "monster", "1", dir.file("picture.gif").string()},
                  "File does not appear to be a valid image file");
    expectFailure({"import", path, "portrait", "19", dir.file("wide.bmp").string()},
                  "index out of range: 19 (portraits are 0..18)");
    expectFailure(
        {"info", dir.file("missing.smc").string()},
        "Error loading ROM: " + dir.file("missing.smc").string() + ": No such file or directory");
    // Files that are no ROM Morvik can place: a size that is not whole banks,
    // game code that names an unknown place for the monster graphics.
    const fs::path odd = dir.file("odd.smc");
    ASSERT_TRUE(writeWholeFile(odd, std::span(original).first(0x300123)));
    const CliRun oddRun = run({"info", odd.string()});
    EXPECT_EQ(oddRun.status, 1);
    EXPECT_EQ(oddRun.err,
              "Error loading ROM: " + odd.string() +
                  ": The file's size, 3146019 bytes, is not that of a ROM image (whole 32 KiB "
                  "banks, with or without a 512-byte header)\n");
    const fs::path moved = dir.file("moved.smc");
    fs::copy_file(rom, moved);
    test::patchRom(moved, 0x01211A, {0x69, 0xE5});
    test::patchRom(moved, 0x012114, {0x69, 0x70});
    expectFailure({"info", moved.string()},
                  "Unknown monster graphics location E5:7000 in the game code");

    // A file where the output folder should be.
    ASSERT_TRUE(writeWholeFile(dir.file("blocked"), test::Bytes{0}));
    const CliRun blocked = run({"export", path, dir.file("blocked").string()});
    EXPECT_EQ(blocked.status, 1);
    EXPECT_NE(blocked.err.find("cannot create folder"), std::string::npos);
    EXPECT_EQ(run({"demo-rom", dir.file("no/such/folder/x.smc").string()}).status, 1);
}

// The frames of a character share tiles: a picture smaller than the sheet
// would blank the frames outside it over the drawn ones.
TEST_F(Cli, ACharacterImportTakesOnlyAWholeSheet) {
    const test::Bytes original = test::readFileBytes(rom);
    IndexedImage small;
    ASSERT_TRUE(small.create(64, 64));
    small.setPixel(5, 5, 1);
    ASSERT_EQ(writeImage(small, dir.file("small.png"), 64, 64, ImageFileType::Png),
              ImageStatus::Ok);
    const CliRun refused =
        run({"import", rom.string(), "character", "1", dir.file("small.png").string()});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err,
              "Image is 64x64, not the 128x128 of a whole sprite sheet (as Export writes it)\n");
    EXPECT_TRUE(test::readFileBytes(rom) == original);
}

// A folder that colours one shared palette two ways is refused every time,
// naming both files, rather than undoing its own change on the next run.
TEST_F(Cli, ImportDirRefusesAPaletteColouredTwoWaysEveryTime) {
    const fs::path art = dir.file("art");
    ASSERT_EQ(run({"export", rom.string(), art.string(), "--only", "portraits"}).status, 0);
    const fs::path recoloured = art / "portraits" / "03.png";
    PortraitSet portraits;
    ASSERT_EQ(loadPortraits(portraits, rom), RomLoadResult::Loaded);
    IndexedImage picture = portraits.portraits[3].image;
    ASSERT_TRUE(picture.setPaletteEntry(4, PaletteColour::fromRgb(248, 0, 248), true));
    ASSERT_EQ(writeImage(picture, recoloured, 40, 40, ImageFileType::Png), ImageStatus::Ok);
    const test::Bytes before = test::readFileBytes(rom);
    for (int attempt = 0; attempt < 3; ++attempt) {
        const CliRun refused = run({"import-dir", rom.string(), art.string()});
        EXPECT_EQ(refused.status, 1);
        EXPECT_NE(refused.err.find(pathToUtf8(recoloured) +
                                   ": its palette is shared with 07.png, which gives it other"),
                  std::string::npos)
            << refused.err;
        EXPECT_NE(refused.err.find(pathToUtf8(art / "portraits" / "07.png") +
                                   ": its palette is shared with 03.png"),
                  std::string::npos)
            << refused.err;
        EXPECT_TRUE(test::readFileBytes(rom) == before);
    }
}

// A sixteen-colour picture into an eight-colour monster redraws, and deepens,
// the graphics other records show: the line names them with the palette's.
TEST_F(Cli, ImportNamesTheRecordsThatShareTheGraphics) {
    MonsterGraphicsSet set;
    ASSERT_EQ(loadMonsterGraphics(set, rom), RomLoadResult::Loaded);
    const auto& records = set.records;
    std::vector<int> drawn;
    int record = -1;
    while (drawn.empty()) {
        ASSERT_LT(++record, static_cast<int>(records.size()));
        if (records[static_cast<std::size_t>(record)].depth != TileDepth::Colours8) continue;
        for (int i = 0; i < static_cast<int>(records.size()); ++i) {
            if (i != record && records[static_cast<std::size_t>(i)].entryIndex ==
                                   records[static_cast<std::size_t>(record)].entryIndex)
                drawn.push_back(i);
        }
    }
    IndexedImage picture;
    ASSERT_TRUE(picture.create(64, 64));
    for (int k = 1; k < 16; ++k) {
        picture.setPaletteEntry(k, PaletteColour::fromRgb(static_cast<std::uint8_t>(16 * k), 0, 0),
                                false);
        picture.setPixel(k, k, static_cast<std::uint8_t>(k));
    }
    ASSERT_EQ(writeImage(picture, dir.file("deep.png"), 64, 64, ImageFileType::Png),
              ImageStatus::Ok);
    const CliRun imported = run(
        {"import", rom.string(), "monster", std::to_string(record), dir.file("deep.png").string()});
    ASSERT_EQ(imported.status, 0) << imported.err;
    ASSERT_EQ(imported.err.rfind("Also changes: ", 0), 0u) << imported.err;
    for (const int other : drawn) {
        EXPECT_NE(imported.err.find(std::to_string(other) + " " +
                                    records[static_cast<std::size_t>(other)].name),
                  std::string::npos)
            << imported.err;
    }
}

// An import that changes nothing writes nothing and says so; one whose
// picture finds no room but by packing the monster graphics afresh does that
// only without --no-repack, and says how many entries moved.
TEST_F(Cli, ASaveWritesOnlyWhatChangedAndRepacksOnlyWhenAllowed) {
    const fs::path out = dir.file("out");
    ASSERT_EQ(run({"export", rom.string(), out.string(), "--only", "portraits"}).status, 0);
    const auto modified = fs::last_write_time(rom);
    const CliRun same =
        run({"import", rom.string(), "portrait", "3", (out / "portraits" / "03.png").string()});
    EXPECT_EQ(same.status, 0) << same.err;
    EXPECT_EQ(same.out, "No changes to save\n");
    EXPECT_EQ(fs::last_write_time(rom), modified);

    // Every other entry grown into a full 128x128 picture, up to the last one
    // that still fits without a re-pack.
    IndexedImage full;
    ASSERT_TRUE(full.create(128, 128));
    for (int k = 0; k < 16; ++k)
        full.setPaletteEntry(k, PaletteColour::fromRgb(8 * k, 8 * k, 248 - 8 * k), false);
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x)
            full.setPixel(x, y, static_cast<std::uint8_t>(1 + (x * 5 + y * 3) % 15));
    }
    MonsterGraphicsSet set;
    ASSERT_EQ(loadMonsterGraphics(set, rom), RomLoadResult::Loaded);
    RomFile file;
    ASSERT_TRUE(file.open(rom));
    std::vector<bool> taken(set.entries.size(), false);
    int next = -1;
    for (int r = 0; r < monsters::kRecordCount && next < 0; ++r) {
        if (taken[set.records[r].entryIndex] || set.records[r].entryIndex % 2 != 0) continue;
        taken[set.records[r].entryIndex] = true;
        MonsterGraphicsSet trial = set;
        ASSERT_TRUE(importMonsterImage(trial, r, full));
        if (planMonsterSave(trial, file).repack) {
            next = r;
        } else {
            set = std::move(trial);
        }
    }
    ASSERT_GE(next, 0);
    // Windows replaces no file that is still open.
    ASSERT_TRUE(file.close());
    ASSERT_EQ(saveMonsterSet(set, rom, RepackPolicy::Refuse), MonsterSaveResult::Saved);
    const fs::path picture = dir.file("full.png");
    ASSERT_EQ(writeImage(full, picture, 128, 128, ImageFileType::Png), ImageStatus::Ok);

    const test::Bytes before = test::readFileBytes(rom);
    const std::vector<std::string> import = {"import", rom.string(), "monster",
                                             std::to_string(next), picture.string()};
    std::vector<std::string> refused = import;
    refused.push_back("--no-repack");
    const CliRun no = run(refused);
    EXPECT_EQ(no.status, 1);
    EXPECT_NE(no.err.find("error: "), std::string::npos) << no.err;
    EXPECT_NE(no.err.find("--no-repack"), std::string::npos) << no.err;
    EXPECT_TRUE(test::readFileBytes(rom) == before);

    const CliRun yes = run(import);
    EXPECT_EQ(yes.status, 0) << yes.err;
    EXPECT_TRUE(std::regex_search(
        yes.out, std::regex("^monster graphics packed afresh: [1-9][0-9]* entries moved\n")))
        << yes.out;
    EXPECT_TRUE(savedLines(yes.out)) << yes.out;
}

// Patches between the demo ROM and a copy with a portrait changed by an
// import, in both forms.
class PatchCli : public Cli {
  protected:
    void SetUp() override {
        Cli::SetUp();
        ASSERT_EQ(run({"demo-rom", bare.string(), "--no-header"}).status, 0);
        const fs::path art = dir.file("art");
        ASSERT_EQ(run({"export", rom.string(), art.string(), "--only", "portraits"}).status, 0);
        for (const auto& [from, to] : {std::pair{rom, mod}, std::pair{bare, bareMod}}) {
            fs::copy_file(from, to);
            ASSERT_EQ(run({"import", to.string(), "portrait", "3",
                           (art / "portraits" / "07.png").string()})
                          .status,
                      0);
        }
    }
    // The patch's lines: the differences of the cartridge data, the patch's size.
    static std::string createdLines(const fs::path& a, const fs::path& b, const fs::path& patch,
                                    std::size_t headerA, std::size_t headerB, bool header) {
        const test::Bytes from = test::readFileBytes(a);
        const test::Bytes to = test::readFileBytes(b);
        const PatchDifference difference =
            countDifferences(std::span(from).subspan(headerA), std::span(to).subspan(headerB));
        return "patch: " + std::to_string(difference.bytes) + " bytes differ in " +
               std::to_string(difference.runs) + " runs; " + patch.string() + ": " +
               std::to_string(fs::file_size(patch)) + " bytes (" +
               patch.extension().string().substr(1) + ")\n" +
               (header ? "for the files as they are\n" : "for ROMs without a copier header\n");
    }

    fs::path bare = dir.file("bare.sfc");
    fs::path mod = dir.file("mod.smc");
    fs::path bareMod = dir.file("bare-mod.sfc");
    fs::path out = dir.file("out.smc");
};

TEST_F(PatchCli, APatchMadeBetweenAnyFormsGivesTheModifiedRomInAnyForm) {
    const std::size_t h = kCopierHeaderSize;
    const struct {
        fs::path original, modified;
        const char* patch;
        bool header, applyHeader;
        fs::path target, expected;
    } cases[] = {
        {rom, mod, "p.bps", false, false, bare, bareMod},
        {rom, mod, "p.ips", false, false, rom, mod},
        {rom, bareMod, "p.bps", false, false, rom, mod},
        {bare, mod, "p.ips", false, false, bare, bareMod},
        {bare, bareMod, "p.bps", true, true, bare, bareMod},
        {rom, mod, "p.ips", true, true, rom, mod},
        // Made with the header, a BPS knows it: applied to the whole file.
        {rom, mod, "p.bps", true, false, rom, mod},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.original.filename().string() + " -> " + c.modified.filename().string() +
                     " " + c.patch + (c.header ? " --header" : ""));
        const fs::path patch = dir.file(c.patch);
        fs::remove(patch);
        fs::remove(out);
        std::vector<std::string> create = {"patch", "create", c.original.string(),
                                           c.modified.string(), patch.string()};
        if (c.header) create.push_back("--header");
        const CliRun made = run(create);
        ASSERT_EQ(made.status, 0) << made.err;
        const auto headerOf = [&](const fs::path& file) {
            return c.header || file == bare || file == bareMod ? 0 : h;
        };
        EXPECT_EQ(made.out, createdLines(c.original, c.modified, patch, headerOf(c.original),
                                         headerOf(c.modified), c.header));
        std::vector<std::string> apply = {"patch", "apply", c.target.string(), patch.string(),
                                          out.string()};
        if (c.applyHeader) apply.push_back("--header");
        const CliRun applied = run(apply);
        ASSERT_EQ(applied.status, 0) << applied.err;
        const test::Bytes before = test::readFileBytes(c.target);
        const test::Bytes after = test::readFileBytes(out);
        EXPECT_TRUE(after == test::readFileBytes(c.expected));
        EXPECT_EQ(applied.out.substr(0, applied.out.find('\n') + 1),
                  "applied: " + out.string() + " (" +
                      std::to_string(countDifferences(before, after).bytes) + " bytes changed)\n");
    }
    // The patch names the ROM it is for by the CRC32 info shows.
    const std::string crc = crcText(test::readFileBytes(rom), h);
    EXPECT_NE(run({"info", bare.string()}).out.find("\ncrc32: " + crc + "\n"), std::string::npos);
    EXPECT_NE(run({"info", rom.string(), "--json"})
                  .out.find("\"crc32\": " + std::to_string(std::stoul(crc, nullptr, 16)) + "\n"),
              std::string::npos);
}

TEST_F(PatchCli, ApplyingInPlaceKeepsTheCopierHeaderAndABackup) {
    const fs::path patch = dir.file("p.ips");
    ASSERT_EQ(run({"patch", "create", bare.string(), bareMod.string(), patch.string()}).status, 0);
    // A header of some other copier's making.
    test::Bytes before = test::readFileBytes(rom);
    std::fill_n(before.begin(), 16, std::uint8_t{0xAB});
    ASSERT_TRUE(writeWholeFile(rom, before));
    const CliRun applied =
        run({"patch", "apply", rom.string(), patch.string(), rom.string(), "--backup"});
    ASSERT_EQ(applied.status, 0) << applied.err;
    test::Bytes expected = test::readFileBytes(mod);
    std::fill_n(expected.begin(), 16, std::uint8_t{0xAB});
    EXPECT_TRUE(test::readFileBytes(rom) == expected);
    EXPECT_TRUE(test::readFileBytes(rom.string() + ".bak") == before);
}

TEST_F(PatchCli, WrongDamagedAndEmptyPatchesWriteNothing) {
    const fs::path bps = dir.file("p.bps");
    const fs::path ips = dir.file("p.ips");
    ASSERT_EQ(run({"patch", "create", rom.string(), mod.string(), bps.string()}).status, 0);
    ASSERT_EQ(run({"patch", "create", rom.string(), mod.string(), ips.string()}).status, 0);
    // Another ROM of the same size: one byte the patch does not touch differs.
    const fs::path other = dir.file("other.smc");
    test::Bytes otherBytes = test::readFileBytes(rom);
    otherBytes[otherBytes.size() - 1] ^= 0x5A;
    ASSERT_TRUE(writeWholeFile(other, otherBytes));
    const test::Bytes patch = test::readFileBytes(bps);
    const fs::path cut = dir.file("cut.bps");
    const fs::path flipped = dir.file("flipped.bps");
    const fs::path cutIps = dir.file("cut.ips");
    ASSERT_TRUE(writeWholeFile(cut, std::span(patch).first(patch.size() / 2)));
    test::Bytes changed = patch;
    changed[patch.size() / 2] ^= 0x40;
    ASSERT_TRUE(writeWholeFile(flipped, changed));
    const test::Bytes ipsBytes = test::readFileBytes(ips);
    ASSERT_TRUE(writeWholeFile(cutIps, std::span(ipsBytes).first(ipsBytes.size() - 4)));
    const std::string wrongRom = "This patch is for a ROM with CRC32 " +
                                 crcText(test::readFileBytes(rom), kCopierHeaderSize) +
                                 "; this ROM has " +
                                 crcText(test::readFileBytes(other), kCopierHeaderSize) + "\n";
    const struct {
        std::vector<std::string> args;
        int status;
        std::string message;  // the whole of stderr, when given
    } cases[] = {
        {{"apply", other.string(), bps.string()}, 1, wrongRom},
        // Forced, the result is not the ROM the patch was made to give.
        {{"apply", other.string(), bps.string(), "--force"}, 1, ""},
        {{"apply", rom.string(), cut.string()}, 1, ""},
        {{"apply", rom.string(), flipped.string()}, 1, ""},
        {{"apply", rom.string(), cutIps.string()}, 1, ""},
        {{"apply", rom.string(), mod.string()}, 1, mod.string() + " is not a BPS or IPS patch\n"},
        {{"apply", rom.string(), dir.file("none.bps").string()},
         1,
         "Error opening file: " + dir.file("none.bps").string() + ": No such file or directory\n"},
        // The same cartridge data, with a header and without.
        {{"create", rom.string(), bare.string()}, 1, "The ROMs are identical: no patch written\n"},
        {{"create", rom.string(), dir.file("none.smc").string()},
         1,
         "Error loading ROM: " + dir.file("none.smc").string() + ": No such file or directory\n"},
        {{"create", rom.string(), mod.string(), "--force"}, 2, ""},
        {{"frob", rom.string(), mod.string()}, 2, ""},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"patch"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const fs::path written = c.args[0] == "create" ? dir.file("out.bps") : out;
        args.insert(args.begin() + 4, written.string());
        const CliRun result = run(args);
        SCOPED_TRACE(c.args[0] + " " + c.args[2]);
        EXPECT_EQ(result.status, c.status) << result.err;
        if (!c.message.empty()) {
            EXPECT_EQ(result.err, c.message);
        }
        EXPECT_FALSE(result.err.empty());
        EXPECT_FALSE(fs::exists(written));
    }
    const fs::path unnamed = dir.file("p.ups");
    const CliRun usage = run({"patch", "create", rom.string(), mod.string(), unnamed.string()});
    EXPECT_EQ(usage.status, 2);
    EXPECT_NE(usage.err.find("Usage:"), std::string::npos);
    EXPECT_FALSE(fs::exists(unnamed));
}

// check and battle, against what the core finds and draws for the same ROM.
class BattleCli : public Cli {
  protected:
    struct Read {
        MonsterGraphicsSet monsters;
        BattleTables battle;
        std::vector<BattleBackground> backgrounds;
    };
    static Read load(const fs::path& path) {
        Read read;
        RomFile file;
        EXPECT_TRUE(file.open(path, RomFile::Access::ReadOnly));
        EXPECT_EQ(loadMonsterGraphics(read.monsters, file), RomLoadResult::Loaded);
        EXPECT_EQ(loadBattleTables(read.battle, file), RomLoadResult::Loaded);
        EXPECT_EQ(loadBattleBackgrounds(read.backgrounds, file), RomLoadResult::Loaded);
        return read;
    }
    static std::size_t count(const std::string& text, const std::string& part) {
        std::size_t found = 0;
        for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
            ++found;
        return found;
    }
};

TEST_F(BattleCli, CheckNamesEveryProblemAndExitsByWhatItFound) {
    const Read data = load(rom);
    const std::vector<BattleProblem> problems = findBattleProblems(data.monsters, data.battle);
    ASSERT_FALSE(problems.empty());
    std::string lines;
    for (const BattleProblem& problem : problems)
        lines += battleProblemLine(data.monsters, problem) + "\n";
    const CliRun check = run({"check", rom.string()});
    EXPECT_EQ(check.status, 1);
    EXPECT_EQ(check.out, lines + std::to_string(problems.size()) + " problems\n");
    const CliRun json = run({"check", rom.string(), "--json"});
    EXPECT_EQ(json.status, 1);
    EXPECT_EQ(json.out.rfind("{\"problems\": [\n  {\"kind\": ", 0), 0u) << json.out;
    EXPECT_EQ(count(json.out, "\"kind\": "), problems.size());
    EXPECT_EQ(count(json.out, "\"formation\": null"),
              static_cast<std::size_t>(std::count_if(problems.begin(), problems.end(),
                                                     [](auto& p) { return p.formation < 0; })));

    // Every record reads the graphics of one the game draws whole, and no
    // formation holds a monster: nothing to say.
    int whole = 0;
    while (battleSizeOfRecord(data.monsters, whole).losesRows() ||
           !battleSizeOfRecord(data.monsters, whole).drawable)
        ++whole;
    RomFile file;
    ASSERT_TRUE(file.open(rom));
    RomBytes record;
    ASSERT_TRUE(file.read(monsters::kRecordsOffset + 5u * static_cast<unsigned>(whole), 5, record));
    for (int r = 0; r < monsters::kRecordCount; ++r) {
        ASSERT_TRUE(file.write(monsters::kRecordsOffset + 5u * static_cast<unsigned>(r),
                               std::vector<std::uint8_t>(record.begin(), record.end())));
    }
    Formation empty;
    for (int f = 0; f < battle::kFormationCount; ++f) {
        const auto bytes = formationBytes(empty);
        ASSERT_TRUE(file.write(
            battle::kFormationsOffset + battle::kFormationBytes * static_cast<unsigned>(f),
            std::vector<std::uint8_t>(bytes.begin(), bytes.end())));
    }
    ASSERT_TRUE(file.commit().replaced);
    const CliRun none = run({"check", rom.string()});
    EXPECT_EQ(none.status, 0) << none.out;
    EXPECT_EQ(none.out, "0 problems\n");
    EXPECT_EQ(run({"check", rom.string(), "--json"}).out, "{\"problems\": []}\n");

    // Trouble is 2: no file, or no ROM.
    const fs::path text = dir.file("notes.smc");
    std::ofstream(text) << "not a ROM";
    for (const fs::path& bad : {dir.file("none.smc"), text}) {
        const CliRun trouble = run({"check", bad.string()});
        EXPECT_EQ(trouble.status, 2) << bad;
        EXPECT_TRUE(trouble.out.empty());
        EXPECT_FALSE(trouble.err.empty());
    }
}

TEST_F(BattleCli, BattleWritesTheFormationAsTheGameShowsIt) {
    const Read data = load(rom);
    int formation = 0;  // the first with a monster on the field at the start
    while (formation + 1 < battle::kFormationCount) {
        const FormationView view = viewFormation(data.monsters, data.battle, formation);
        if (std::any_of(view.seats.begin(), view.seats.end(),
                        [](const SlotView& s) { return s.shown() && s.present; }))
            break;
        ++formation;
    }
    const fs::path png = dir.file("battle.png");
    const CliRun drawn =
        run({"battle", rom.string(), std::to_string(formation), png.string(), "--background", "2"});
    ASSERT_EQ(drawn.status, 0) << drawn.err;
    const IndexedImage expected = composeFormation(
        data.monsters, viewFormation(data.monsters, data.battle, formation), &data.backgrounds[2]);
    const IndexedImage written = read(png);
    ASSERT_EQ(written.width(), 256);
    ASSERT_EQ(written.height(), 152);
    int differing = 0;
    for (int y = 0; y < 152; ++y) {
        for (int x = 0; x < 256; ++x)
            differing += written.getPixelColour(x, y) == expected.getPixelColour(x, y) ? 0 : 1;
    }
    EXPECT_EQ(differing, 0);
    // Colour 0 is a colour of the scene: the file has no transparency.
    const test::Bytes bytes = test::readFileBytes(png);
    EXPECT_EQ(std::search(bytes.begin(), bytes.end(), std::begin("tRNS"), std::end("tRNS") - 1),
              bytes.end());

    for (const auto& args :
         {std::vector<std::string>{"576"}, {"-1"}, {"0", "--background", "55"}}) {
        std::vector<std::string> command = {"battle", rom.string(), args[0],
                                            dir.file("x.png").string()};
        command.insert(command.end(), args.begin() + 1, args.end());
        const CliRun refused = run(command);
        EXPECT_EQ(refused.status, 1) << args[0] << refused.err;
        EXPECT_FALSE(fs::exists(dir.file("x.png")));
    }
}

TEST_F(BattleCli, AnImportWithKeepRowsGivesAMoldTheGameDrawsWhole) {
    // Drawn in cell rows 2 and 5 only: rows 0-1 and 3-4 are empty.
    IndexedImage picture;
    ASSERT_TRUE(picture.create(64, 64));
    ASSERT_TRUE(picture.setPaletteEntry(1, PaletteColour::fromRgb(200, 40, 40), false));
    for (int x = 0; x < 24; ++x) {
        picture.setPixel(x, 20, 1);
        picture.setPixel(x, 44, 1);
    }
    const fs::path png = dir.file("gaps.png");
    ASSERT_EQ(writeImage(picture, png, 64, 64, ImageFileType::Png), ImageStatus::Ok);
    for (const bool keep : {false, true}) {
        std::vector<std::string> args = {"import", rom.string(), "monster", "30", png.string()};
        if (keep) args.push_back("--keep-rows");
        ASSERT_EQ(run(args).status, 0);
        const BattleSize size = battleSizeOfRecord(load(rom).monsters, 30);
        EXPECT_EQ(size.drawable, keep);
        if (keep) {
            EXPECT_EQ((std::pair{size.rows, size.columns}), (std::pair{6, 3}));
        }
    }
}

}  // namespace
}  // namespace morvik
