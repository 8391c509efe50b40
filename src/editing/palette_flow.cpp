#include "editing/palette_flow.h"

#include <vector>

#include "imagefile/palette_file.h"
#include "rom/file_path.h"

namespace morvik {

bool importPaletteFlow(PageModel& page, DocumentUi& ui) {
    if (!page.paletteEditable()) {
        ui.showError("The colours of this character are fixed: its palette cannot change.");
        return false;
    }
    const auto path = ui.askOpenFile({"Import Palette", kPaletteFileFilters, {}});
    if (!path) return false;
    std::vector<PaletteColour> colours;
    const PaletteFileStatus status = readPaletteFile(*path, colours);
    if (status != PaletteFileStatus::Ok) {
        ui.showErrorDetail("Error reading palette file",
                           pathToUtf8(path->filename()) + ": " + paletteFileMessage(status));
        return false;
    }
    return page.importPalette(colours);
}

bool exportPaletteFlow(const PageModel& page, DocumentUi& ui, const std::string& itemName) {
    auto path = ui.askSaveFile({"Export Palette", kPaletteFileFilters, itemName + ".gpl"});
    if (!path) return false;
    if (!path->has_extension()) path->replace_extension(".gpl");
    const auto format = paletteFormatOfPath(*path);
    if (!format) {
        ui.showError("Palette files end in .gpl, .pal, .act or .bin: " +
                     pathToUtf8(path->filename()));
        return false;
    }
    const PaletteFileStatus status = writePaletteFile(*path, page.stripColours(), *format);
    if (status != PaletteFileStatus::Ok) {
        ui.showErrorDetail("Error writing palette file",
                           pathToUtf8(path->filename()) + ": " + paletteFileMessage(status));
        return false;
    }
    return true;
}

}  // namespace morvik
