#include "imagefile/palette_file.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <optional>
#include <string>

#include "imagefile/image_bytes.h"

namespace morvik {

namespace {

using Bytes = std::span<const std::uint8_t>;
using Colours = std::vector<PaletteColour>;

constexpr std::string_view kGimpHeader = "GIMP Palette";
constexpr std::string_view kJascHeader = "JASC-PAL";
constexpr std::string_view kJascVersion = "0100";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::size_t kActColours = 256;
constexpr std::size_t kActBytes = kActColours * 3;
constexpr std::size_t kActTrailerBytes = 4;
constexpr std::uint16_t kRiffPaletteVersion = 0x0300;

bool startsWith(Bytes bytes, std::string_view text) {
    return bytes.size() >= text.size() &&
           std::equal(text.begin(), text.end(), bytes.begin(),
                      [](char c, std::uint8_t b) { return static_cast<std::uint8_t>(c) == b; });
}

std::uint16_t loadBe16(Bytes bytes, std::size_t offset) {
    return static_cast<std::uint16_t>((bytes[offset] << 8) | bytes[offset + 1]);
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view trimmed(std::string_view line) {
    while (!line.empty() && isBlank(line.front()))
        line.remove_prefix(1);
    while (!line.empty() && isBlank(line.back()))
        line.remove_suffix(1);
    return line;
}

// The lines of a text, without their ends (LF or CRLF) and outer blanks.
class Lines {
  public:
    explicit Lines(std::string_view text) : rest_(text) {}

    bool next(std::string_view& line) {
        if (done_) return false;
        const std::size_t end = rest_.find('\n');
        if (end == std::string_view::npos) {
            line = trimmed(rest_);
            done_ = true;
        } else {
            line = trimmed(rest_.substr(0, end));
            rest_.remove_prefix(end + 1);
        }
        return true;
    }

  private:
    std::string_view rest_;
    bool done_ = false;
};

// A decimal number of at most max at the start of text, ended by a blank or
// the end of the text; text moves past it.
bool takeNumber(std::string_view& text, unsigned max, unsigned& value) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    std::size_t digits = 0;
    value = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') {
        value = value * 10 + static_cast<unsigned>(text[digits] - '0');
        if (value > max) return false;
        ++digits;
    }
    if (digits == 0 || (digits < text.size() && !isBlank(text[digits]))) return false;
    text.remove_prefix(digits);
    return true;
}

// "R G B" with anything after a blank (a GIMP colour's name) ignored.
bool parseColourLine(std::string_view line, PaletteColour& colour) {
    unsigned red = 0;
    unsigned green = 0;
    unsigned blue = 0;
    if (!takeNumber(line, 255, red) || !takeNumber(line, 255, green) ||
        !takeNumber(line, 255, blue)) {
        return false;
    }
    colour =
        PaletteColour::fromRgb(static_cast<std::uint8_t>(red), static_cast<std::uint8_t>(green),
                               static_cast<std::uint8_t>(blue));
    return true;
}

PaletteFileStatus readGimp(std::string_view text, Colours& out) {
    Lines lines(text);
    std::string_view line;
    if (!lines.next(line) || line != kGimpHeader) return PaletteFileStatus::Damaged;
    while (lines.next(line)) {
        if (line.empty() || line.front() == '#') continue;
        if (line.starts_with("Name:") || line.starts_with("Columns:")) continue;
        PaletteColour colour;
        if (out.size() == kMaxPaletteFileColours || !parseColourLine(line, colour)) {
            return PaletteFileStatus::Damaged;
        }
        out.push_back(colour);
    }
    return out.empty() ? PaletteFileStatus::NoColours : PaletteFileStatus::Ok;
}

PaletteFileStatus readJasc(std::string_view text, Colours& out) {
    Lines lines(text);
    std::string_view line;
    if (!lines.next(line) || line != kJascHeader) return PaletteFileStatus::Damaged;
    if (!lines.next(line) || line != kJascVersion) return PaletteFileStatus::Damaged;
    unsigned count = 0;
    if (!lines.next(line) || !takeNumber(line, kMaxPaletteFileColours, count) ||
        !trimmed(line).empty()) {
        return PaletteFileStatus::Damaged;
    }
    // The count must agree with the colour lines present, neither more nor fewer.
    while (lines.next(line)) {
        if (line.empty()) continue;
        PaletteColour colour;
        if (out.size() == count || !parseColourLine(line, colour)) {
            return PaletteFileStatus::Damaged;
        }
        out.push_back(colour);
    }
    if (out.size() != count) return PaletteFileStatus::Damaged;
    return out.empty() ? PaletteFileStatus::NoColours : PaletteFileStatus::Ok;
}

PaletteFileStatus readRiffData(Bytes data, Colours& out) {
    if (data.size() < 4 || loadLe16(data, 0) != kRiffPaletteVersion) {
        return PaletteFileStatus::Damaged;
    }
    const std::size_t count = loadLe16(data, 2);
    if (count > kMaxPaletteFileColours || count * 4 > data.size() - 4) {
        return PaletteFileStatus::Damaged;
    }
    if (count == 0) return PaletteFileStatus::NoColours;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = 4 + i * 4;
        out.push_back(PaletteColour::fromRgb(data[at], data[at + 1], data[at + 2]));
    }
    return PaletteFileStatus::Ok;
}

PaletteFileStatus readRiff(Bytes bytes, Colours& out) {
    if (bytes.size() < 12) return PaletteFileStatus::Damaged;
    if (!startsWith(bytes.subspan(8), "PAL ")) return PaletteFileStatus::UnknownFormat;
    // The form's own size is often wrong in files of old programs: the chunks
    // are walked over the bytes present instead. Each step passes at least the
    // eight bytes of a chunk header, so the walk ends.
    std::size_t offset = 12;
    while (offset <= bytes.size() && bytes.size() - offset >= 8) {
        const std::size_t body = offset + 8;
        const std::size_t size = loadLe32(bytes, offset + 4);
        if (size > bytes.size() - body) return PaletteFileStatus::Damaged;
        if (startsWith(bytes.subspan(offset), "data")) {
            return readRiffData(bytes.subspan(body, size), out);
        }
        offset = body + size + (size & 1);
    }
    return PaletteFileStatus::Damaged;
}

PaletteFileStatus readAct(Bytes bytes, Colours& out) {
    std::size_t count = kActColours;
    if (bytes.size() == kActBytes + kActTrailerBytes) {
        // The trailer's second field (the transparent entry) does not matter:
        // colour 0 is the transparent one in the game.
        count = loadBe16(bytes, kActBytes);
        if (count > kActColours) return PaletteFileStatus::Damaged;
    } else if (bytes.size() != kActBytes) {
        return PaletteFileStatus::Damaged;
    }
    if (count == 0) return PaletteFileStatus::NoColours;
    for (std::size_t i = 0; i < count; ++i) {
        out.push_back(PaletteColour::fromRgb(bytes[i * 3], bytes[i * 3 + 1], bytes[i * 3 + 2]));
    }
    return PaletteFileStatus::Ok;
}

PaletteFileStatus readRaw15(Bytes bytes, Colours& out) {
    if (bytes.size() % 2 != 0 || bytes.size() > kMaxPaletteFileColours * 2) {
        return PaletteFileStatus::Damaged;
    }
    if (bytes.empty()) return PaletteFileStatus::NoColours;
    out = snesWordsToColours(bytes);
    return PaletteFileStatus::Ok;
}

std::string lowerEnding(const std::filesystem::path& path) {
    const std::u8string ending = path.extension().u8string();
    std::string lower;
    for (const char8_t c : ending) {
        const char plain = static_cast<char>(c);
        lower.push_back(plain >= 'A' && plain <= 'Z' ? static_cast<char>(plain - 'A' + 'a')
                                                     : plain);
    }
    return lower;
}

// The palette a signature at the start names; nullopt without a signature.
std::optional<PaletteFileStatus> readByContent(Bytes bytes, Colours& out) {
    const Bytes text = startsWith(bytes, kUtf8Mark) ? bytes.subspan(kUtf8Mark.size()) : bytes;
    const std::string_view chars(reinterpret_cast<const char*>(text.data()), text.size());
    if (startsWith(text, kGimpHeader)) return readGimp(chars, out);
    if (startsWith(text, kJascHeader)) return readJasc(chars, out);
    if (startsWith(bytes, "RIFF")) return readRiff(bytes, out);
    return std::nullopt;
}

PaletteFileStatus readByContentOrEnding(Bytes bytes, const std::filesystem::path& name,
                                        Colours& out) {
    const std::string ending = lowerEnding(name);
    const bool signatureFree = ending == ".act" || ending == ".bin";
    if (const auto status = readByContent(bytes, out)) {
        // Adobe tables and colour words have no signature, and their first
        // colours may spell one: for them a signature counts only when the
        // rest of the file bears it out.
        if (!signatureFree || *status == PaletteFileStatus::Ok) return *status;
        out.clear();
    }
    if (ending == ".act") return readAct(bytes, out);
    if (ending == ".bin") return readRaw15(bytes, out);
    // A text palette emptied by a failed save is damaged; anything else under
    // these endings is some other kind of file.
    if (ending == ".gpl" || ending == ".pal") {
        return bytes.empty() ? PaletteFileStatus::Damaged : PaletteFileStatus::UnknownFormat;
    }
    return PaletteFileStatus::UnknownFormat;
}

void appendLine(std::string& text, std::string_view line, std::string_view end) {
    text.append(line);
    text.append(end);
}

std::string gimpText(std::span<const PaletteColour> colours, std::string_view name) {
    std::string cleanName(name.empty() ? std::string_view("Morvik") : name);
    for (char& c : cleanName) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    }
    std::string text;
    appendLine(text, kGimpHeader, "\n");
    appendLine(text, "Name: " + cleanName, "\n");
    appendLine(text, "Columns: 16", "\n");
    appendLine(text, "#", "\n");
    for (std::size_t i = 0; i < colours.size(); ++i) {
        std::array<char, 80> line{};
        std::snprintf(line.data(), line.size(), "%3d %3d %3d\tIndex %zu", colours[i].red,
                      colours[i].green, colours[i].blue, i);
        appendLine(text, line.data(), "\n");
    }
    return text;
}

std::string jascText(std::span<const PaletteColour> colours) {
    // Paint programs write (and some only read) Windows line ends.
    std::string text;
    appendLine(text, kJascHeader, "\r\n");
    appendLine(text, kJascVersion, "\r\n");
    appendLine(text, std::to_string(colours.size()), "\r\n");
    for (const PaletteColour& colour : colours) {
        std::array<char, 48> line{};
        std::snprintf(line.data(), line.size(), "%d %d %d", colour.red, colour.green, colour.blue);
        appendLine(text, line.data(), "\r\n");
    }
    return text;
}

std::vector<std::uint8_t> riffBytes(std::span<const PaletteColour> colours) {
    const std::size_t dataSize = 4 + colours.size() * 4;
    std::vector<std::uint8_t> out(20 + dataSize, 0);
    std::copy_n("RIFF", 4, out.begin());
    storeLe32(out, 4, static_cast<std::uint32_t>(out.size() - 8));
    std::copy_n("PAL data", 8, out.begin() + 8);
    storeLe32(out, 16, static_cast<std::uint32_t>(dataSize));
    storeLe16(out, 20, kRiffPaletteVersion);
    storeLe16(out, 22, static_cast<std::uint32_t>(colours.size()));
    for (std::size_t i = 0; i < colours.size(); ++i) {
        out[24 + i * 4] = colours[i].red;
        out[25 + i * 4] = colours[i].green;
        out[26 + i * 4] = colours[i].blue;
    }
    return out;
}

std::vector<std::uint8_t> actBytes(std::span<const PaletteColour> colours) {
    std::vector<std::uint8_t> out(kActBytes + kActTrailerBytes, 0);
    for (std::size_t i = 0; i < colours.size(); ++i) {
        out[i * 3] = colours[i].red;
        out[i * 3 + 1] = colours[i].green;
        out[i * 3 + 2] = colours[i].blue;
    }
    out[kActBytes] = static_cast<std::uint8_t>(colours.size() >> 8);
    out[kActBytes + 1] = static_cast<std::uint8_t>(colours.size() & 0xFF);
    // Bytes kActBytes + 2 and + 3 stay 0: colour 0 is the transparent one.
    return out;
}

std::vector<std::uint8_t> textBytes(const std::string& text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

}  // namespace

std::optional<PaletteFormat> paletteFormatOfPath(const std::filesystem::path& path) {
    const std::string ending = lowerEnding(path);
    if (ending == ".gpl") return PaletteFormat::Gimp;
    if (ending == ".pal") return PaletteFormat::Jasc;
    if (ending == ".act") return PaletteFormat::Act;
    if (ending == ".bin") return PaletteFormat::Raw15;
    return std::nullopt;
}

PaletteFileStatus readPaletteBytes(std::span<const std::uint8_t> bytes,
                                   const std::filesystem::path& nameForEnding,
                                   std::vector<PaletteColour>& out) {
    if (bytes.size() > kMaxPaletteFileBytes) return PaletteFileStatus::UnknownFormat;
    Colours colours;
    const PaletteFileStatus status = readByContentOrEnding(bytes, nameForEnding, colours);
    if (status == PaletteFileStatus::Ok) out = std::move(colours);
    return status;
}

PaletteFileStatus readPaletteFile(const std::filesystem::path& path,
                                  std::vector<PaletteColour>& out) {
    std::ifstream file(path, std::ios::binary);
    if (!file.is_open()) return PaletteFileStatus::CannotRead;
    // One byte past the limit tells a file that is too large without trusting
    // a size from the file system (the path may name a pipe).
    std::vector<std::uint8_t> bytes(kMaxPaletteFileBytes + 1);
    file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (file.bad()) return PaletteFileStatus::CannotRead;
    bytes.resize(static_cast<std::size_t>(file.gcount()));
    if (bytes.size() > kMaxPaletteFileBytes) return PaletteFileStatus::UnknownFormat;
    return readPaletteBytes(bytes, path, out);
}

std::vector<std::uint8_t> paletteFileBytes(std::span<const PaletteColour> colours,
                                           PaletteFormat format, std::string_view name) {
    const auto kept = colours.first(std::min(colours.size(), kMaxPaletteFileColours));
    switch (format) {
        case PaletteFormat::Gimp:
            return textBytes(gimpText(kept, name));
        case PaletteFormat::Jasc:
            return textBytes(jascText(kept));
        case PaletteFormat::Riff:
            return riffBytes(kept);
        case PaletteFormat::Act:
            return actBytes(kept);
        case PaletteFormat::Raw15:
            return coloursToSnesWords(kept);
    }
    return {};
}

PaletteFileStatus writePaletteFile(const std::filesystem::path& path,
                                   std::span<const PaletteColour> colours, PaletteFormat format) {
    const std::u8string stem = path.stem().u8string();
    const std::string name(stem.begin(), stem.end());
    const auto bytes = paletteFileBytes(colours, format, name);
    return writeImageBytes(path, bytes) == ImageStatus::Ok ? PaletteFileStatus::Ok
                                                           : PaletteFileStatus::CannotWrite;
}

const char* paletteFileMessage(PaletteFileStatus status) {
    switch (status) {
        case PaletteFileStatus::Ok:
            return "The palette file is in order.";
        case PaletteFileStatus::CannotRead:
            return "The palette file cannot be read.";
        case PaletteFileStatus::UnknownFormat:
            return "Not a palette file: use .gpl, .pal, .act or .bin.";
        case PaletteFileStatus::Damaged:
            return "The palette file is damaged.";
        case PaletteFileStatus::NoColours:
            return "The palette file holds no colours.";
        case PaletteFileStatus::CannotWrite:
            return "The palette file cannot be written.";
    }
    return "The palette file cannot be used.";
}

}  // namespace morvik
