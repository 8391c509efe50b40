#include "document/settings.h"

#include <algorithm>

namespace morvik {

namespace {

std::string fileValueName(int number) {
    return "file" + std::to_string(number);
}

constexpr int kMaxFrameLists = 16;
constexpr const char* kFrameListsKey = "Frame Lists";

std::string listValueName(int number) {
    return "list" + std::to_string(number);
}

// The low byte of a stored value, or the default when it is missing or out of range.
std::uint8_t readByte(SettingsStore& store, const char* name, std::uint8_t fallback, int low,
                      int high) {
    const auto value = store.readValue(kSettingsKey, name);
    if (!value) return fallback;
    const int byte = static_cast<int>(*value & 0xFF);
    return byte >= low && byte <= high ? static_cast<std::uint8_t>(byte) : fallback;
}

std::uint8_t readMagnification(SettingsStore& store, const char* name, std::uint8_t fallback) {
    const auto value = store.readValue(kSettingsKey, name);
    if (!value) return fallback;
    return static_cast<std::uint8_t>(
        std::clamp(static_cast<int>(*value & 0xFF), kMinMagnification, kMaxMagnification));
}

std::int32_t readPosition(SettingsStore& store, const char* name, std::int32_t fallback) {
    const auto value = store.readValue(kSettingsKey, name);
    return value ? static_cast<std::int32_t>(*value) : fallback;
}

}  // namespace

GridMode Settings::gridModeFor(int magnification) const {
    return magnification >= gridMinMag ? grid : GridMode::None;
}

void Settings::setGrid(GridMode mode, int minimumMagnification) {
    grid = mode;
    if (minimumMagnification > 0) gridMinMag = static_cast<std::uint8_t>(minimumMagnification);
}

void Settings::addRecentFile(const std::string& path) {
    std::erase(recentFiles, path);
    recentFiles.insert(recentFiles.begin(), path);
    if (recentFiles.size() > kMaxRecentFiles) recentFiles.resize(kMaxRecentFiles);
}

void Settings::toggleGrid() {
    if (grid == GridMode::None) {
        grid = gridBeforeOff == GridMode::None ? GridMode::Pixel : gridBeforeOff;
        return;
    }
    gridBeforeOff = grid;
    grid = GridMode::None;
}

std::string Settings::recentFile(int index) const {
    return index >= 0 && index < recentCount() ? recentFiles[index] : std::string{};
}

void loadSettings(Settings& settings, int& currentTab, SettingsStore& store) {
    const Settings defaults;
    settings.grid = static_cast<GridMode>(
        readByte(store, "grid", static_cast<std::uint8_t>(defaults.grid), 0, 2));
    settings.gridMinMag = readMagnification(store, "gridMinMag", defaults.gridMinMag);
    settings.background = readByte(store, "background", 0, 0, kBackgroundChoices - 1);
    settings.xPos = readPosition(store, "xPos", defaults.xPos);
    settings.yPos = readPosition(store, "yPos", defaults.yPos);
    settings.width = std::max(0, readPosition(store, "width", defaults.width));
    settings.height = std::max(0, readPosition(store, "height", defaults.height));
    settings.maximized = readByte(store, "maximized", defaults.maximized, 0, 1) != 0;
    currentTab = readByte(store, "tab", 0, 0, kTabCount - 1);
    settings.tab1Mag = readMagnification(store, "tab1Mag", defaults.tab1Mag);
    settings.tab3Mag = readMagnification(store, "tab3Mag", defaults.tab3Mag);
    settings.tab4Mag = readMagnification(store, "tab4Mag", defaults.tab4Mag);
    settings.keepBackup = readByte(store, "keepBackup", defaults.keepBackup, 0, 1) != 0;
    settings.fixChecksum = readByte(store, "fixChecksum", defaults.fixChecksum, 0, 1) != 0;
    settings.keepRows = readByte(store, "keepRows", defaults.keepRows, 0, 1) != 0;

    settings.animationFps = readByte(store, "animationFps", defaults.animationFps, 1, 30);
    settings.animationScale = readByte(store, "animationScale", defaults.animationScale, 1, 4);
    settings.frameLists.clear();
    const int lists = readByte(store, "frameLists", 0, 0, kMaxFrameLists);
    for (int number = 1; number <= lists; ++number) {
        auto list = store.readString(kFrameListsKey, listValueName(number));
        if (list && !list->empty()) settings.frameLists.push_back(std::move(*list));
    }

    // A missing value is skipped: the later ones close the gap.
    settings.recentFiles.clear();
    for (int number = 1; number <= kMaxRecentFiles; ++number) {
        auto path = store.readString(kRecentFilesKey, fileValueName(number));
        if (path && !path->empty()) settings.recentFiles.push_back(std::move(*path));
    }
}

void saveSettings(const Settings& settings, int currentTab, std::int32_t xPos, std::int32_t yPos,
                  SettingsStore& store) {
    store.writeValue(kSettingsKey, "grid", static_cast<std::uint32_t>(settings.grid));
    store.writeValue(kSettingsKey, "gridMinMag", settings.gridMinMag);
    store.writeValue(kSettingsKey, "background", settings.background);
    store.writeValue(kSettingsKey, "xPos", static_cast<std::uint32_t>(xPos));
    store.writeValue(kSettingsKey, "yPos", static_cast<std::uint32_t>(yPos));
    store.writeValue(kSettingsKey, "tab", static_cast<std::uint32_t>(currentTab));
    store.writeValue(kSettingsKey, "tab1Mag", settings.tab1Mag);
    store.writeValue(kSettingsKey, "tab3Mag", settings.tab3Mag);
    store.writeValue(kSettingsKey, "tab4Mag", settings.tab4Mag);
    store.writeValue(kSettingsKey, "keepBackup", settings.keepBackup ? 1 : 0);
    store.writeValue(kSettingsKey, "fixChecksum", settings.fixChecksum ? 1 : 0);
    store.writeValue(kSettingsKey, "keepRows", settings.keepRows ? 1 : 0);
    store.writeValue(kSettingsKey, "width", static_cast<std::uint32_t>(settings.width));
    store.writeValue(kSettingsKey, "height", static_cast<std::uint32_t>(settings.height));
    store.writeValue(kSettingsKey, "maximized", settings.maximized ? 1 : 0);
    for (int i = 0; i < settings.recentCount(); ++i) {
        store.writeString(kRecentFilesKey, fileValueName(i + 1), settings.recentFiles[i]);
    }
    store.writeValue(kSettingsKey, "animationFps", settings.animationFps);
    store.writeValue(kSettingsKey, "animationScale", settings.animationScale);
    // The count says how many are read back, so a list dropped since does
    // not come back.
    const int lists = std::min(static_cast<int>(settings.frameLists.size()), kMaxFrameLists);
    store.writeValue(kSettingsKey, "frameLists", static_cast<std::uint32_t>(lists));
    for (int number = 1; number <= lists; ++number) {
        store.writeString(kFrameListsKey, listValueName(number),
                          settings.frameLists[static_cast<std::size_t>(number - 1)]);
    }
}

std::vector<RecentMenuItem> recentMenuItems(const Settings& settings) {
    std::vector<RecentMenuItem> items;
    for (int i = 0; i < settings.recentCount(); ++i) {
        items.push_back({kFirstRecentFileCommand + i,
                         "&" + std::to_string(i + 1) + " " + settings.recentFiles[i]});
    }
    return items;
}

}  // namespace morvik
