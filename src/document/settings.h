#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace morvik {

enum class GridMode : std::uint8_t { None = 0, Pixel = 1, Tile = 2 };

inline constexpr int kMaxRecentFiles = 4;
inline constexpr int kMinMagnification = 2;
inline constexpr int kMaxMagnification = 20;
inline constexpr int kBackgroundChoices = 60;
inline constexpr int kTabCount = 4;
// Menu command of the first recent-file item; the others follow.
inline constexpr int kFirstRecentFileCommand = 23457;

// The preferences kept between runs.
struct Settings {
    std::uint8_t background = 0;
    GridMode grid = GridMode::Pixel;
    std::uint8_t gridMinMag = 5;
    std::uint8_t tab1Mag = 4;
    std::uint8_t tab3Mag = 6;
    std::uint8_t tab4Mag = 10;
    std::int32_t xPos = 50;
    std::int32_t yPos = 50;
    // The main window's size (0: its smallest) and whether it was maximised.
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool maximized = false;
    // Saving keeps the file as it was in NAME.bak, once a run for each ROM.
    bool keepBackup = true;
    // Saving also puts the right checksum into the game's header.
    bool fixChecksum = false;
    // Edits keep every row of a monster's mold drawn in battle: an empty row
    // above the last drawn one takes a blank tile.
    bool keepRows = true;
    // UTF-8 paths (see pathToUtf8), most recent first, at most four.
    std::vector<std::string> recentFiles;
    // The animation preview's frame lists kept by name ("Walk down: 0, 1, 0,
    // 2"), at most 16, and its speed (frames a second) and size.
    std::vector<std::string> frameLists;
    std::uint8_t animationFps = 4;
    std::uint8_t animationScale = 2;

    // The grid to draw at a magnification: none below gridMinMag.
    GridMode gridModeFor(int magnification) const;
    // A minimum of 0 or less keeps gridMinMag.
    void setGrid(GridMode mode, int minimumMagnification);
    // The grid on or off: off remembers the mode that was on, and on brings
    // it back (the pixel grid when none was on in this run).
    void toggleGrid();
    GridMode gridBeforeOff = GridMode::Pixel;

    // Puts the path first, dropping an equal entry and the fifth one.
    void addRecentFile(const std::string& path);
    // The path of entry 0..3, empty past the end.
    std::string recentFile(int index) const;
    int recentCount() const { return static_cast<int>(recentFiles.size()); }

    friend bool operator==(const Settings&, const Settings&) = default;
};

// Where settings persist: 32-bit values and strings by key and value name.
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    virtual std::optional<std::uint32_t> readValue(const std::string& key,
                                                   const std::string& name) = 0;
    virtual std::optional<std::string> readString(const std::string& key,
                                                  const std::string& name) = 0;
    virtual void writeValue(const std::string& key, const std::string& name,
                            std::uint32_t value) = 0;
    virtual void writeString(const std::string& key, const std::string& name,
                             const std::string& value) = 0;
};

inline constexpr const char* kSettingsKey = "Settings";
inline constexpr const char* kRecentFilesKey = "Recent File List";

// Reads the preferences and the selected tab; anything missing or out of range
// takes its default (magnifications are held to 2..20, a background past the
// sixty pictures is 0, a tab outside 0..3 is 0).
void loadSettings(Settings& settings, int& currentTab, SettingsStore& store);
// Writes everything back, with the main window's position (its size and
// maximised state are the settings' own).
void saveSettings(const Settings& settings, int currentTab, std::int32_t xPos, std::int32_t yPos,
                  SettingsStore& store);

struct RecentMenuItem {
    int command;
    std::string text;  // "&1 path", UTF-8

    friend bool operator==(const RecentMenuItem&, const RecentMenuItem&) = default;
};
// The File menu's recent-file items, most recent first.
std::vector<RecentMenuItem> recentMenuItems(const Settings& settings);

}  // namespace morvik
