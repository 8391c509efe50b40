#pragma once

#include <string>

#include "document/document_ui.h"
#include "editing/page_model.h"

namespace morvik {

// Palette > Import Palette...: asks for a palette file (GIMP, JASC or RIFF,
// Adobe colour table, the game's colour words) and reads it into the page's
// current palette as one step. A file that cannot be read, or a palette whose
// colours are fixed, changes nothing and is told. True when the colours went in.
bool importPaletteFlow(PageModel& page, DocumentUi& ui);

// Palette > Export Palette...: writes the page's current palette (8 or 16
// colours, in the ROM's order) in the format the chosen ending names; a name
// without an ending gets ".gpl". `itemName` suggests the file's name.
bool exportPaletteFlow(const PageModel& page, DocumentUi& ui, const std::string& itemName);

// The filters of the palette file dialogs.
inline constexpr const char* kPaletteFileFilters =
    "Palette files (*.gpl *.pal *.act *.bin);;GIMP palette (*.gpl);;JASC palette (*.pal);;"
    "Adobe colour table (*.act);;15-bit colour words (*.bin);;All files (*)";

}  // namespace morvik
