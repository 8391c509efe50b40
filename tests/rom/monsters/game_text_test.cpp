#include "rom/monsters/game_text.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace morvik {
namespace {

TEST(GameText, EveryByteDecodesAsTheGameShowsIt) {
    std::map<int, char> expected;
    for (int b = 0x80; b <= 0x99; ++b)
        expected[b] = static_cast<char>('A' + b - 0x80);
    for (int b = 0x9A; b <= 0xB3; ++b)
        expected[b] = static_cast<char>('a' + b - 0x9A);
    for (int b = 0xB4; b <= 0xBD; ++b)
        expected[b] = static_cast<char>('0' + b - 0xB4);
    for (int b : {0x01, 0x05, 0x1E, 0x1F, 0x20, 0x21, 0x22, 0xC7, 0xFE, 0xFF})
        expected[b] = ' ';
    for (int b = 0xD8; b <= 0xEA; ++b)
        expected[b] = ' ';
    expected[0x00] = '\0';
    expected[0xBE] = '!';
    expected[0xBF] = '?';
    expected[0xC0] = '/';
    expected[0xC2] = '"';
    expected[0xD3] = '"';
    expected[0xC3] = '\'';
    expected[0xC4] = '-';
    expected[0xC5] = '.';
    expected[0xC6] = ',';
    expected[0xCD] = '%';
    for (int b = 0; b < 256; ++b) {
        const auto found = expected.find(b);
        const char want = found == expected.end() ? '?' : found->second;
        EXPECT_EQ(gameTextToAscii(static_cast<std::uint8_t>(b)), want) << "byte " << b;
    }
}

TEST(GameText, NameFields) {
    auto text = [](std::vector<std::uint8_t> bytes) { return gameTextToString(bytes); };
    // An unknown byte shows as a question mark; padding spaces are dropped.
    EXPECT_EQ(text({0x86, 0xB4 + 0x1A, 0x9A, 0xAB, 0x9D, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}), "G?ard");
    EXPECT_EQ(text({0x86, 0xAE, 0x9A, 0xAB, 0x9D, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}), "Guard");
    // Ten letters and no padding keep all ten.
    EXPECT_EQ(text({0x80, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89}), "ABCDEFGHIJ");
    // 0x00 ends the text where it stands.
    EXPECT_EQ(text({0x80, 0x81, 0x00, 0x82, 0x83}), "AB");
    // Spaces inside stay, trailing ones of any kind go.
    EXPECT_EQ(text({0x80, 0xFF, 0x81, 0xFE, 0x01, 0xC7}), "A B");
    EXPECT_EQ(text({0xFF, 0xFF}), "");
    EXPECT_EQ(text({}), "");
}

}  // namespace
}  // namespace morvik
