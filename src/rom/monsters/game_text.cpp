#include "rom/monsters/game_text.h"

namespace morvik {

char gameTextToAscii(std::uint8_t byte) {
    if (byte == 0x00) return '\0';
    if (byte >= 0x80 && byte <= 0x99) return static_cast<char>('A' + (byte - 0x80));
    if (byte >= 0x9A && byte <= 0xB3) return static_cast<char>('a' + (byte - 0x9A));
    if (byte >= 0xB4 && byte <= 0xBD) return static_cast<char>('0' + (byte - 0xB4));
    if ((byte >= 0x1E && byte <= 0x22) || (byte >= 0xD8 && byte <= 0xEA)) return ' ';
    switch (byte) {
        case 0x01:
        case 0x05:
        case 0xC7:
        case 0xFE:
        case 0xFF:
            return ' ';
        case 0xBE:
            return '!';
        case 0xBF:
            return '?';
        case 0xC0:
            return '/';
        case 0xC2:
        case 0xD3:
            return '"';
        case 0xC3:
            return '\'';
        case 0xC4:
            return '-';
        case 0xC5:
            return '.';
        case 0xC6:
            return ',';
        case 0xCD:
            return '%';
        default:
            return '?';
    }
}

std::string gameTextToString(std::span<const std::uint8_t> bytes) {
    std::string text;
    for (std::uint8_t byte : bytes) {
        if (byte == 0x00) break;
        text.push_back(gameTextToAscii(byte));
    }
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

}  // namespace morvik
