#include "imagefile/palette_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "imagefile/image_bytes.h"
#include "support/temp_dir.h"

namespace morvik {
namespace {

using namespace std::string_literals;

using Bytes = std::vector<std::uint8_t>;
using Colours = std::vector<PaletteColour>;

// Colours with every component different, so that a swapped channel shows.
Colours someColours(std::size_t count) {
    Colours colours;
    for (std::size_t i = 0; i < count; ++i) {
        colours.push_back(PaletteColour::fromRgb(static_cast<std::uint8_t>(i),
                                                 static_cast<std::uint8_t>(255 - i),
                                                 static_cast<std::uint8_t>(i * 7 + 3)));
    }
    return colours;
}

// The colours as the game keeps them: 5 bits a component.
Colours asStoredByGame(const Colours& colours) {
    Colours stored;
    for (const PaletteColour& colour : colours)
        stored.push_back(snesToRgb(rgbToSnes(colour)));
    return stored;
}

Bytes textFile(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

PaletteFileStatus readAs(const Bytes& bytes, const char* name, Colours& out) {
    return readPaletteBytes(bytes, name, out);
}

std::string colourLines(const Colours& colours, const char* lineEnd) {
    std::string text;
    for (const PaletteColour& c : colours) {
        text += std::to_string(c.red) + "  " + std::to_string(c.green) + "\t" +
                std::to_string(c.blue) + " " + lineEnd;
    }
    return text;
}

Bytes actFile(const Colours& colours, int trailerCount) {
    Bytes bytes(768, 0);
    for (std::size_t i = 0; i < colours.size(); ++i) {
        bytes[i * 3] = colours[i].red;
        bytes[i * 3 + 1] = colours[i].green;
        bytes[i * 3 + 2] = colours[i].blue;
    }
    if (trailerCount >= 0) {
        bytes.insert(bytes.end(), {static_cast<std::uint8_t>(trailerCount >> 8),
                                   static_cast<std::uint8_t>(trailerCount & 0xFF), 0xFF, 0xFF});
    }
    return bytes;
}

Bytes riffFile(const Colours& colours, int declaredCount, bool extraChunk) {
    Bytes bytes = textFile("RIFF....PAL ");
    if (extraChunk) {
        const std::string chunk = std::string("note") + '\x03' + '\0' + '\0' + '\0' + "abc" + '\0';
        bytes.insert(bytes.end(), chunk.begin(), chunk.end());
    }
    const std::size_t dataAt = bytes.size();
    bytes.resize(dataAt + 12 + colours.size() * 4, 0);
    std::copy_n("data", 4, bytes.begin() + static_cast<std::ptrdiff_t>(dataAt));
    storeLe32(bytes, dataAt + 4, static_cast<std::uint32_t>(4 + colours.size() * 4));
    storeLe16(bytes, dataAt + 8, 0x0300);
    storeLe16(bytes, dataAt + 10, static_cast<std::uint32_t>(declaredCount));
    for (std::size_t i = 0; i < colours.size(); ++i) {
        bytes[dataAt + 12 + i * 4] = colours[i].red;
        bytes[dataAt + 13 + i * 4] = colours[i].green;
        bytes[dataAt + 14 + i * 4] = colours[i].blue;
    }
    storeLe32(bytes, 4, static_cast<std::uint32_t>(bytes.size() - 8));
    return bytes;
}

TEST(PaletteFile, EveryFormatReadsBackWhatItWrote) {
    struct Case {
        PaletteFormat format;
        const char* name;
        bool fiveBits;
    };
    const Case cases[] = {
        {PaletteFormat::Gimp, "p.gpl", false}, {PaletteFormat::Jasc, "p.pal", false},
        {PaletteFormat::Riff, "p.pal", false}, {PaletteFormat::Act, "p.act", false},
        {PaletteFormat::Raw15, "p.bin", true},
    };
    for (const Case& c : cases) {
        for (const std::size_t count : {std::size_t{1}, std::size_t{16}, std::size_t{256}}) {
            SCOPED_TRACE(std::string(c.name) + " " + std::to_string(count));
            const Colours colours = someColours(count);
            Colours read;
            ASSERT_EQ(readAs(paletteFileBytes(colours, c.format), c.name, read),
                      PaletteFileStatus::Ok);
            EXPECT_EQ(read, c.fiveBits ? asStoredByGame(colours) : colours);
        }
    }
}

TEST(PaletteFile, WritesTheLayoutsOtherProgramsExpect) {
    const Colours colours = {PaletteColour::fromRgb(1, 20, 255), PaletteColour::fromRgb(8, 16, 24)};
    const auto gimp = paletteFileBytes(colours, PaletteFormat::Gimp, "Terra\nsprite");
    EXPECT_EQ(std::string(gimp.begin(), gimp.end()),
              "GIMP Palette\nName: Terra sprite\nColumns: 16\n#\n"
              "  1  20 255\tIndex 0\n  8  16  24\tIndex 1\n");
    const auto jasc = paletteFileBytes(colours, PaletteFormat::Jasc);
    EXPECT_EQ(std::string(jasc.begin(), jasc.end()),
              "JASC-PAL\r\n0100\r\n2\r\n1 20 255\r\n8 16 24\r\n");
    const auto act = paletteFileBytes(colours, PaletteFormat::Act);
    ASSERT_EQ(act.size(), 772u);
    EXPECT_EQ(Bytes(act.begin(), act.begin() + 6), (Bytes{1, 20, 255, 8, 16, 24}));
    EXPECT_EQ(Bytes(act.begin() + 768, act.end()), (Bytes{0, 2, 0, 0}));
    EXPECT_EQ(paletteFileBytes(colours, PaletteFormat::Raw15), (Bytes{0x40, 0x7C, 0x41, 0x0C}));
    EXPECT_EQ(paletteFileBytes(colours, PaletteFormat::Riff), riffFile(colours, 2, false));
}

TEST(PaletteFile, ReadsFilesOfOtherPrograms) {
    const Colours eight = someColours(8);
    const Colours full = someColours(256);
    // Words 0x8000..0x8007: red 0..7 with the unused top bit set.
    Bytes raw;
    Colours reds;
    for (std::uint8_t i = 0; i < 8; ++i) {
        raw.insert(raw.end(), {i, 0x80});
        reds.push_back(PaletteColour::fromRgb(static_cast<std::uint8_t>(i * 8), 0, 0));
    }
    const Colours spellsRiff = {PaletteColour::fromRgb('R', 'I', 'F'),
                                PaletteColour::fromRgb('F', 1, 2)};
    struct Case {
        const char* what;
        Bytes bytes;
        const char* name;
        Colours expected;
    };
    const Case cases[] = {
        {"gimp with comments and CRLF",
         textFile("GIMP Palette\r\nName: eight\r\nColumns: 4\r\n# a comment\r\n\r\n" +
                  colourLines(eight, "\tsome name\r\n")),
         "a.gpl", eight},
        {"gimp of 256 named by another ending",
         textFile("GIMP Palette\n" + colourLines(full, "\n")), "a.txt", full},
        {"jasc with CRLF", textFile("JASC-PAL\r\n0100\r\n8\r\n" + colourLines(eight, "\r\n")),
         "a.pal", eight},
        {"jasc of 256 with LF", textFile("JASC-PAL\n0100\n256\n" + colourLines(full, "\n")),
         "b.PAL", full},
        {"riff with another chunk first", riffFile(eight, 8, true), "a.pal", eight},
        {"riff of 256", riffFile(full, 256, false), "a.pal", full},
        {"act of 768 bytes", actFile(full, -1), "a.act", full},
        {"act with a count of 16", actFile(full, 16), "a.ACT", someColours(16)},
        {"raw words with bit 15 set", raw, "a.bin", reds},
        // Tables without a signature whose first colours spell one.
        {"act starting RIFF", actFile(spellsRiff, 2), "a.act", spellsRiff},
        {"raw words spelling GIMP", textFile("GIMP"), "a.bin",
         snesWordsToColours(textFile("GIMP"))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Colours read;
        ASSERT_EQ(readAs(c.bytes, c.name, read), PaletteFileStatus::Ok);
        EXPECT_EQ(read, c.expected);
    }
}

TEST(PaletteFile, RefusesDamagedFilesAndLeavesTheColours) {
    const Colours eight = someColours(8);
    Bytes truncatedRiff = riffFile(eight, 8, false);
    truncatedRiff.resize(truncatedRiff.size() - 5);
    Bytes shortRiff = riffFile(eight, 8, false);
    shortRiff.resize(10);
    struct Case {
        const char* what;
        Bytes bytes;
        const char* name;
        PaletteFileStatus expected;
    };
    const Case cases[] = {
        {"truncated riff", truncatedRiff, "a.pal", PaletteFileStatus::Damaged},
        {"riff cut in its header", shortRiff, "a.pal", PaletteFileStatus::Damaged},
        {"riff counting more than its data", riffFile(eight, 9, false), "a.pal",
         PaletteFileStatus::Damaged},
        {"riff of another kind", textFile("RIFF\4\0\0\0WAVE"s), "a.pal",
         PaletteFileStatus::UnknownFormat},
        {"act of 700 bytes", Bytes(700, 1), "a.act", PaletteFileStatus::Damaged},
        {"act counting 257", actFile(eight, 257), "a.act", PaletteFileStatus::Damaged},
        {"act counting none", actFile(eight, 0), "a.act", PaletteFileStatus::NoColours},
        {"odd bin", Bytes(15, 0), "a.bin", PaletteFileStatus::Damaged},
        {"bin of 257 colours", Bytes(514, 0), "a.bin", PaletteFileStatus::Damaged},
        {"empty bin", Bytes{}, "a.bin", PaletteFileStatus::NoColours},
        {"jasc with fewer lines than its count",
         textFile("JASC-PAL\r\n0100\r\n9\r\n" + colourLines(eight, "\r\n")), "a.pal",
         PaletteFileStatus::Damaged},
        {"jasc with more lines than its count",
         textFile("JASC-PAL\r\n0100\r\n7\r\n" + colourLines(eight, "\r\n")), "a.pal",
         PaletteFileStatus::Damaged},
        {"jasc counting 257", textFile("JASC-PAL\n0100\n257\n"), "a.pal",
         PaletteFileStatus::Damaged},
        {"jasc of another version", textFile("JASC-PAL\n0200\n1\n1 2 3\n"), "a.pal",
         PaletteFileStatus::Damaged},
        {"gimp with a component 300", textFile("GIMP Palette\n1 2 3\n4 300 6\n"), "a.gpl",
         PaletteFileStatus::Damaged},
        {"gimp with a component missing", textFile("GIMP Palette\n1 2\n"), "a.gpl",
         PaletteFileStatus::Damaged},
        {"gimp with a negative component", textFile("GIMP Palette\n1 -2 3\n"), "a.gpl",
         PaletteFileStatus::Damaged},
        {"gimp of 257 colours", textFile("GIMP Palette\n" + colourLines(someColours(257), "\n")),
         "a.gpl", PaletteFileStatus::Damaged},
        {"gimp without colours", textFile("GIMP Palette\nName: x\n# none\n"), "a.gpl",
         PaletteFileStatus::NoColours},
        {"binary junk named .pal", Bytes{0x00, 0xFF, 0x13, 0x37, 0x80}, "a.pal",
         PaletteFileStatus::UnknownFormat},
        {"empty pal", Bytes{}, "a.pal", PaletteFileStatus::Damaged},
        {"text with another ending", textFile("1 2 3\n"), "a.png",
         PaletteFileStatus::UnknownFormat},
        {"larger than any palette", Bytes(kMaxPaletteFileBytes + 1, ' '), "a.bin",
         PaletteFileStatus::UnknownFormat},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Colours read = eight;
        EXPECT_EQ(readAs(c.bytes, c.name, read), c.expected);
        EXPECT_EQ(read, eight);
    }
}

TEST(PaletteFile, EndingsNameTheFormatToWrite) {
    EXPECT_EQ(paletteFormatOfPath("a/b.GPL"), PaletteFormat::Gimp);
    EXPECT_EQ(paletteFormatOfPath("b.pal"), PaletteFormat::Jasc);
    EXPECT_EQ(paletteFormatOfPath("b.Act"), PaletteFormat::Act);
    EXPECT_EQ(paletteFormatOfPath("b.bin"), PaletteFormat::Raw15);
    EXPECT_EQ(paletteFormatOfPath("b.png"), std::nullopt);
    EXPECT_EQ(paletteFormatOfPath("pal"), std::nullopt);
}

TEST(PaletteFile, FilesAreWrittenAndReadBack) {
    const test::TempDir dir;
    const Colours colours = someColours(16);
    const auto path = dir.file("sprite.gpl");
    ASSERT_EQ(writePaletteFile(path, colours, PaletteFormat::Gimp), PaletteFileStatus::Ok);
    Colours read;
    ASSERT_EQ(readPaletteFile(path, read), PaletteFileStatus::Ok);
    EXPECT_EQ(read, colours);
    EXPECT_EQ(readPaletteFile(dir.file("missing.gpl"), read), PaletteFileStatus::CannotRead);
    EXPECT_EQ(writePaletteFile(dir.file("no/such/folder.pal"), colours, PaletteFormat::Jasc),
              PaletteFileStatus::CannotWrite);
    EXPECT_STREQ(paletteFileMessage(PaletteFileStatus::Damaged), "The palette file is damaged.");
}

}  // namespace
}  // namespace morvik
