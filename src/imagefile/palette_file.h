#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "gfx/colour.h"

namespace morvik {

// The palette files of paint programs and the game's own colour words.
enum class PaletteFormat {
    Gimp,   // .gpl: GIMP's text palette
    Jasc,   // .pal: Paint Shop Pro's text palette
    Riff,   // .pal: the Windows RIFF palette (read by content; never chosen by an ending)
    Act,    // .act: Adobe's colour table
    Raw15,  // .bin: 15-bit colour words, low byte first, as the game stores them
};

enum class [[nodiscard]] PaletteFileStatus{
    Ok,
    CannotRead,     // the file cannot be opened or read
    UnknownFormat,  // neither its content nor its ending names a palette this program reads
    Damaged,        // a palette file whose content breaks its format
    NoColours,      // a well-formed palette without a single colour
    CannotWrite,    // the file cannot be created or a byte does not reach it
};

// A palette holds at most this many colours; a file that declares or lists more
// is refused.
inline constexpr std::size_t kMaxPaletteFileColours = 256;
// Even a GIMP palette of 256 named colours with comments stays far below this;
// a larger file is refused before it is read.
inline constexpr std::size_t kMaxPaletteFileBytes = std::size_t{64} << 10;

// The format a path's ending names for writing: .gpl Gimp, .pal Jasc, .act Act,
// .bin Raw15 (in any case); nullopt for any other ending.
std::optional<PaletteFormat> paletteFormatOfPath(const std::filesystem::path& path);

// Reads a palette file held in memory. The content decides first (a text
// starting "GIMP Palette" or "JASC-PAL", a RIFF form of type "PAL "), then the
// ending of nameForEnding: .act (768 bytes, or 772 with the colour count in
// its trailer) and .bin (an even number of bytes, at most 512). Under those
// two endings, whose files have no signature, content that starts like
// another format but does not read as it is read by the ending. The colours
// are given as stored (Raw15 words widened by snesToRgb). On any status but Ok
// out is left as it was.
PaletteFileStatus readPaletteBytes(std::span<const std::uint8_t> bytes,
                                   const std::filesystem::path& nameForEnding,
                                   std::vector<PaletteColour>& out);
// The same for a file; one larger than kMaxPaletteFileBytes is UnknownFormat
// without being read into memory.
PaletteFileStatus readPaletteFile(const std::filesystem::path& path,
                                  std::vector<PaletteColour>& out);

// The file in the given format, with at most the first kMaxPaletteFileColours
// colours. The name goes into a GIMP palette's "Name:" line (line breaks and
// other control characters become spaces); the other formats have no name.
// Act writes 772 bytes with the count in the trailer and colour 0 as the
// transparent one; Raw15 drops the low three bits of each component.
std::vector<std::uint8_t> paletteFileBytes(std::span<const PaletteColour> colours,
                                           PaletteFormat format, std::string_view name = "Morvik");
// Writes paletteFileBytes (named after the file's stem): Ok or CannotWrite.
PaletteFileStatus writePaletteFile(const std::filesystem::path& path,
                                   std::span<const PaletteColour> colours, PaletteFormat format);

// The sentence a user sees for a status.
const char* paletteFileMessage(PaletteFileStatus status);

}  // namespace morvik
