// File > Create Patch and Apply Patch: the document asks for the files and
// reports in the command line's words; the patches themselves are made and
// applied by transfer/rom_patch.
#include <system_error>

#include "document/rom_document.h"
#include "rom/file_path.h"
#include "transfer/rom_patch.h"

namespace morvik {

namespace {

constexpr const char* kRomFilters = "ROM files (*.smc *.sfc *.swc *.fig);;All files (*)";

bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code unknown;
    return std::filesystem::equivalent(a, b, unknown) || a == b;
}

}  // namespace

bool RomDocument::createPatch() {
    if (!isLoaded()) return false;
    if (dirty_ && !(ui_.askOkCancel(kPatchSaveFirstQuestion) && saveRom())) return false;
    const std::filesystem::path folder = romPath_.parent_path();
    const auto original = ui_.askOpenFile(
        {"Select the original ROM (the unmodified game the patch is for)", kRomFilters, folder});
    if (!original) return false;
    std::filesystem::path suggested = folder / romPath_.stem();
    suggested += ".bps";
    const auto out =
        ui_.askSaveFile({"Save the patch as", "BPS patch (*.bps);;IPS patch (*.ips)", suggested});
    if (!out) return false;
    const RomPatchReport report = createRomPatch(*original, romPath_, *out);
    if (!report.ok()) {
        ui_.showError(report.message);
        return false;
    }
    ui_.showInfo(patchCreatedLines(report, pathToUtf8(out->filename())));
    return true;
}

bool RomDocument::applyPatch() {
    if (!isLoaded()) return false;
    const std::filesystem::path folder = romPath_.parent_path();
    const auto patch =
        ui_.askOpenFile({"Select a patch", "Patches (*.bps *.ips);;All files (*)", folder});
    if (!patch) return false;
    std::filesystem::path suggested = folder / romPath_.stem();
    suggested += " (patched)";
    suggested += romPath_.extension();
    const auto out = ui_.askSaveFile({"Save the patched ROM as", kRomFilters, suggested});
    if (!out) return false;
    const bool overOpenRom = sameFile(*out, romPath_);
    if (overOpenRom && !ui_.askOkCancel(kPatchOverOpenRomQuestion)) return false;
    const RomPatchReport report =
        applyRomPatch(romPath_, *patch, *out, false, false, overOpenRom && settings_.keepBackup);
    if (!report.ok()) {
        ui_.showError(report.message);
        return false;
    }
    const std::string applied = patchAppliedLine(report, pathToUtf8(out->filename()));
    // The open ROM's file changed under it: it is opened again, edits given up.
    if (overOpenRom) {
        ui_.showInfo(applied);
        dirty_ = false;
        (void)openRomFile(*out);
        return true;
    }
    if (ui_.askYesNo(applied + "\n" + kOpenPatchedQuestion)) (void)openRomFile(*out);
    return true;
}

}  // namespace morvik
