#include "editing/monster_page_model.h"

#include <algorithm>

#include "document/editor_page.h"
#include "rom/battle/battle_check.h"
#include "rom/monsters/monster_edit.h"
#include "rom/monsters/monster_layout.h"

namespace morvik {

namespace {

constexpr int kEsperGap = 400;  // the record between the espers that no list shows

}  // namespace

std::vector<int> MonsterPageModel::recordsForTab(int tab) {
    std::vector<int> records;
    if (tab == kEspersTab) {
        for (int record = monsters::kFirstEsperRecord; record < monsters::kRecordCount; ++record)
            if (record != kEsperGap) records.push_back(record);
    } else {
        for (int record = 0; record < monsters::kFirstEsperRecord; ++record)
            records.push_back(record);
    }
    return records;
}

std::vector<std::string> MonsterPageModel::paletteLabels() {
    return paletteListLabels(monsters::kPaletteCount);
}

void MonsterPageModel::setMode(int tab) {
    mode_ = tab == kEspersTab ? kEspersTab : kMonstersTab;
    lines_ = recordsForTab(mode_);
    selectLine(0);
}

std::vector<std::string> MonsterPageModel::recordNames() const {
    std::vector<std::string> names;
    names.reserve(lines_.size());
    for (const int record : lines_)
        names.push_back(set_.records[static_cast<std::size_t>(record)].name);
    return names;
}

std::vector<std::string> MonsterPageModel::imageLabels() const {
    const int count = std::max(set_.entryCount, 0);
    std::vector<std::string> labels;
    labels.reserve(static_cast<std::size_t>(count));
    for (int entry = 0; entry < count; ++entry)
        labels.push_back("Image " + std::to_string(entry));
    // The lowest record names the line: walk down so it writes last.
    std::vector<int> namedBy(static_cast<std::size_t>(count), -1);
    for (int record = monsters::kNamedRecordCount - 1; record >= 0; --record) {
        const int entry = set_.records[static_cast<std::size_t>(record)].entryIndex;
        if (entry < count) namedBy[static_cast<std::size_t>(entry)] = record;
    }
    for (int entry = 0; entry < count; ++entry) {
        const int record = namedBy[static_cast<std::size_t>(entry)];
        if (record >= 0)
            labels[static_cast<std::size_t>(entry)] +=
                " - " + set_.records[static_cast<std::size_t>(record)].name;
    }
    return labels;
}

std::vector<std::string> MonsterPageModel::copySourceNames() const {
    std::vector<std::string> names;
    for (int record = 0; record < monsters::kNamedRecordCount; ++record)
        names.push_back(set_.records[static_cast<std::size_t>(record)].name);
    return names;
}

void MonsterPageModel::settleEdits() {
    if (!itemChanged_) return;
    itemChanged_ = false;
    encodeCurrent();
    refreshAllMonsterImages(set_);
}

void MonsterPageModel::selectLine(int line) {
    if (line < 0 || line >= static_cast<int>(lines_.size())) return;
    settleEdits();
    current_ = lines_[static_cast<std::size_t>(line)];
    // Its palette may have changed while another record was shown.
    applyMonsterColours(set_, current_);
    keepColourInRange();
}

int MonsterPageModel::currentLine() const {
    const auto found = std::find(lines_.begin(), lines_.end(), current_);
    return found == lines_.end() ? 0 : static_cast<int>(found - lines_.begin());
}

void MonsterPageModel::showStep(const StepPlace& place) {
    mode_ = place.tab == kEspersTab ? kEspersTab : kMonstersTab;
    lines_ = recordsForTab(mode_);
    if (isValidRecord(place.item)) current_ = place.item;
    // Records that share graphics show what was put back.
    itemChanged_ = false;
    refreshAllMonsterImages(set_);
    applyMonsterColours(set_, current_);
    keepColourInRange();
}

std::string MonsterPageModel::moldLabel() const {
    return "Mold: " + std::to_string(record().moldIndex);
}

int MonsterPageModel::freeSpace() const {
    return freeGraphicsSpace(set_);
}

std::string MonsterPageModel::freeSpaceLabel() const {
    return "Free Space: " + std::to_string(freeSpace());
}

std::string MonsterPageModel::battleWarning() const {
    return battleRowsWarning(battleSizeOfRecord(set_, current_));
}

std::vector<int> MonsterPageModel::formations() const {
    return battle_ != nullptr ? formationsWithMonster(*battle_, current_) : std::vector<int>{};
}

std::string MonsterPageModel::formationsLabel(const std::vector<int>& formations,
                                              const std::function<std::string(int)>& number) {
    if (formations.empty()) return "In no formation";
    std::string label = "In formations: ";
    const std::size_t listed = std::min(formations.size(), kFormationsListed);
    for (std::size_t i = 0; i < listed; ++i)
        label += (i == 0 ? "" : ", ") + number(formations[i]);
    if (listed < formations.size()) label += ", ... (" + std::to_string(formations.size()) + ")";
    return label;
}

void MonsterPageModel::edited() {
    itemChanged_ = true;
    markChanged();
}

void MonsterPageModel::selectEntry(int entry) {
    const EditStep step(*this, "Image Choice");
    markChanged();
    selectMonsterGraphicsEntry(set_, current_, entry);
    encodeCurrent();
    keepColourInRange();
}

void MonsterPageModel::selectPalette(int palette) {
    const EditStep step(*this, "Palette Choice");
    markChanged();
    setMonsterPaletteIndex(set_, current_, palette);
    encodeCurrent();
    keepColourInRange();
}

void MonsterPageModel::selectSize(int line) {
    const EditStep step(*this, "Size Change");
    markChanged();
    setMonsterSize(set_, current_, line == 1);
    // The shared graphics changed shape: records sharing them must be decoded
    // again before one of them writes its old picture back.
    itemChanged_ = true;
    encodeCurrent();
}

void MonsterPageModel::selectDepth(int line) {
    const EditStep step(*this, "Depth Change");
    markChanged();
    setMonsterDepth(set_, current_, line == 1 ? TileDepth::Colours16 : TileDepth::Colours8);
    itemChanged_ = true;
    encodeCurrent();
    keepColourInRange();  // colours 8..15 are gone from an 8-colour strip
}

bool MonsterPageModel::newImage() {
    const EditStep step(*this, "New Image");
    if (!newMonsterImage(set_, current_)) return false;
    edited();
    keepColourInRange();
    return true;
}

void MonsterPageModel::copyFrom(int source) {
    if (source < 0 || source >= monsters::kNamedRecordCount) return;
    const EditStep step(*this, "Copy Image");
    copyMonsterImage(set_, current_, source);
    // Records sharing this record's graphics take the copy when it is left.
    itemChanged_ = true;
    encodeCurrent();
    keepColourInRange();
}

void MonsterPageModel::clear() {
    const EditStep step(*this, "Clear Image");
    clearMonsterImage(set_, current_);
    edited();
    encodeCurrent();
}

void MonsterPageModel::flip(FlipDirection direction) {
    const EditStep step(*this, flipStepName(direction));
    flipMonsterImage(set_, current_, direction);
    edited();
    encodeCurrent();
}

void MonsterPageModel::importPicture(const IndexedImage& picture) {
    const EditStep step(*this, "Import");
    if (!importMonsterImage(set_, current_, picture)) return;
    edited();
    encodeCurrent();
    keepColourInRange();
}

void MonsterPageModel::importMapped(const MappedPicture& mapped) {
    const EditStep step(*this, "Import");
    if (!applyMonsterImport(set_, current_, mapped)) return;
    edited();
    encodeCurrent();
    keepColourInRange();
}

void MonsterPageModel::encodeCurrent() {
    encodeMonsterImage(set_, current_);
}

MonsterSaveResult MonsterPageModel::save(RomFile& rom) {
    itemChanged_ = false;
    encodeCurrent();
    return saveMonsterSet(set_, rom);
}

MonsterSaveResult MonsterPageModel::save(const std::filesystem::path& path) {
    return saveToFile(path, [this](RomFile& rom) { return save(rom); });
}

std::vector<PaletteColour> MonsterPageModel::stripColours() const {
    std::vector<PaletteColour> colours;
    const int count = colourCountOf(record().depth);
    for (int k = 0; k < count; ++k)
        colours.push_back(monsterColour(set_, record().paletteIndex, k));
    return colours;
}

void MonsterPageModel::drawPixel(int x, int y, std::uint8_t index) {
    itemChanged_ = true;
    setMonsterPixel(set_, current_, x, y, index);
}

void MonsterPageModel::drawPixels(const std::vector<PixelWrite>& writes) {
    if (!isValidRecord(current_)) return;
    MonsterRecord& r = set_.records[static_cast<std::size_t>(current_)];
    const int colours = colourCountOf(r.depth);
    for (const PixelWrite& write : writes) {
        // An index past the record's colours would be stored as another colour.
        if (write.index < colours && r.image.contains(write.x, write.y))
            r.image.setPixel(write.x, write.y, write.index);
    }
    itemChanged_ = true;
    computeMold(set_, current_);
    encodeCurrent();
}

void MonsterPageModel::storeColour(int index, PaletteColour colour) {
    setMonsterPaletteColour(set_, current_, index, colour);
}

void MonsterPageModel::swapWithTransparent(int index) {
    makeMonsterTransparent(set_, current_, index);
    itemChanged_ = true;
    encodeCurrent();
}

}  // namespace morvik
