#pragma once
// The program's persistent preferences in "config.ini": read once at start-up, written
// once at the end. They belong to the UI thread; the build reads its copy of some.

#include "platform/folders.h"
#include "platform/profile.h"
#include "project/model.h"

#include <string>

namespace tellavine {

struct WindowPlacement {
    bool maximized = true;
    int x = 0, y = 0;
    int width = 600, height = 480;
    int listStyle = 0;
    int splitterX = 270, splitterY = 180;
    int playerX = 320, playerY = 240;
};

struct AppSettings {
    // "GENERAL"
    int recorder = 0;
    int driver = 0;  // 0 auto, 1 MMC, 2 MMC raw mode
    int burnSpeed = 2;
    int simulateFlag = 1;  // kept as read; nothing uses it
    int burnProof = 0;
    bool pal = false;
    int useAspi = 0;  // kept as read; no effect on this system
    bool writePhotoFiles = true;
    bool writeAudioFiles = true;
    bool logFile = true;
    std::string tempDir;  // ends in '/'
    std::string discName = "My Photo Slideshow";
    int waitTime = kDefaultPlayTimeSeconds;
    int tvCrop = 5;
    int ratioCorrection = 1;
    // "Options"
    bool fullRangeStills = false;  // FullRangeStills=1: stills in full-range levels (no dialog)
    std::string language;          // Language: "de", "en"; empty: from LANGUAGE/LANG (no dialog)
    // "Update"
    std::string updateUrl;  // Url: the update server's address; empty: no update check
    // "Window"
    WindowPlacement window;
};

// Reads `folders.settingsFile()` (a missing file gives every default), applies the
// corrections for out-of-range values and creates the temporary folders.
AppSettings loadSettings(const AppFolders& folders);
// The reading part of loadSettings, without touching the file system.
AppSettings readSettings(const ProfileDocument& file, const AppFolders& folders);

// Writes every key in the program's fixed order. False when the file cannot be written
// (a read-only folder); nothing is reported then. "Options" and "Update" keys are set by
// hand and left in the file as they stand.
bool saveSettings(const AppSettings& settings, const AppFolders& folders);

// The per-build disc options as the burn page starts them from the settings.
DiscOptions discOptionsFromSettings(const AppSettings& settings);

// The Options dialog's OK: takes the new temporary folder (with a trailing '/') and
// default play time, and moves albums still at the old default to the new one.
void applyOptions(AppSettings& settings, Project& project, int driver, const std::string& tempDir,
                  int waitTime, int useAspi);

}  // namespace tellavine
