#include "project/settings.h"

#include "platform/profile.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace tellavine {
namespace {

constexpr const char* kGeneral = "GENERAL";
constexpr const char* kWindow = "Window";
constexpr const char* kOptions = "Options";
constexpr const char* kUpdate = "Update";

int atLeastOneOr(int value, int fallback) { return value < 1 ? fallback : value; }

}  // namespace

AppSettings loadSettings(const AppFolders& folders) {
    makeSureFolderExists(folders.defaultTempDir);
    AppSettings settings = readSettings(ProfileDocument::load(folders.settingsFile()), folders);
    makeSureFolderExists(settings.tempDir);
    return settings;
}

AppSettings readSettings(const ProfileDocument& file, const AppFolders& folders) {
    AppSettings s;
    s.recorder = file.getInt(kGeneral, "recorder", 0);
    s.driver = file.getInt(kGeneral, "driver", 0);
    s.burnSpeed = file.getInt(kGeneral, "BurnSpeed", 2);
    s.simulateFlag = file.getInt(kGeneral, "bSimulate", 1);
    s.burnProof = file.getInt(kGeneral, "BurnProof", 0);
    s.useAspi = file.getInt(kGeneral, "UseASPI", 0);
    s.writePhotoFiles = file.getInt(kGeneral, "bWritePhotoFile", 1) != 0;
    s.writeAudioFiles = file.getInt(kGeneral, "bWriteAudioFile", 1) != 0;
    s.logFile = file.getInt(kGeneral, "bLogFile", 1) != 0;
    s.pal = file.getInt(kGeneral, "PAL", 0) == 1;
    s.window.splitterX = atLeastOneOr(file.getInt(kWindow, "SPLITTER_X", 270), 270);
    s.window.splitterY = atLeastOneOr(file.getInt(kWindow, "SPLITTER_Y", 180), 180);
    s.window.playerX = atLeastOneOr(file.getInt(kWindow, "PLAYER_X", 320), 320);
    s.window.playerY = atLeastOneOr(file.getInt(kWindow, "PLAYER_Y", 240), 240);

    // An empty value would put the build's files into whatever the current folder is.
    s.tempDir = withTrailingSeparator(file.getString(kGeneral, "TempDir", folders.defaultTempDir, 1023));
    if (s.tempDir.empty()) s.tempDir = folders.defaultTempDir;
    s.discName = file.getString(kGeneral, "DISC_NAME", "My Photo Slideshow", 1023);

    // New albums take this play time; keep it in the album dialog's range.
    s.waitTime = std::clamp(file.getInt(kGeneral, "WaitTime", kDefaultPlayTimeSeconds), 0, kMaxPlayTimeSeconds);
    s.tvCrop = std::clamp(file.getInt(kGeneral, "nTVCrop", 5), 0, 20);
    s.ratioCorrection = file.getInt(kGeneral, "nRatioCorrection", 1);
    if (s.ratioCorrection < 0 || s.ratioCorrection > 2) s.ratioCorrection = 1;
    s.fullRangeStills = file.getInt(kOptions, "FullRangeStills", 0) == 1;
    s.language = file.getString(kOptions, "Language", "", 63);
    s.updateUrl = file.getString(kUpdate, "Url", "", 1023);
    s.window.maximized = file.getInt(kWindow, "bMaximized", 1) != 0;
    s.window.x = std::max(0, file.getInt(kWindow, "x", 0));
    s.window.y = std::max(0, file.getInt(kWindow, "y", 0));
    const int width = file.getInt(kWindow, "width", 600);
    const int height = file.getInt(kWindow, "height", 480);
    s.window.width = width < 0 ? 600 : width;
    s.window.height = height < 0 ? 480 : height;
    s.window.listStyle = file.getInt(kWindow, "ListStyle", 0);
    return s;
}

bool saveSettings(const AppSettings& s, const AppFolders& folders) {
    const std::string path = folders.settingsFile();
    const std::vector<std::pair<const char*, std::pair<const char*, std::string>>> entries{
        {kGeneral, {"recorder", std::to_string(s.recorder)}},
        {kGeneral, {"driver", std::to_string(s.driver)}},
        {kGeneral, {"BurnSpeed", std::to_string(s.burnSpeed)}},
        {kGeneral, {"bSimulate", std::to_string(s.simulateFlag)}},
        {kGeneral, {"BurnProof", std::to_string(s.burnProof)}},
        {kGeneral, {"PAL", std::to_string(s.pal ? 1 : 0)}},
        {kGeneral, {"UseASPI", std::to_string(s.useAspi)}},
        {kGeneral, {"bWritePhotoFile", std::to_string(s.writePhotoFiles ? 1 : 0)}},
        {kGeneral, {"bWriteAudioFile", std::to_string(s.writeAudioFiles ? 1 : 0)}},
        {kGeneral, {"bLogFile", std::to_string(s.logFile ? 1 : 0)}},
        {kGeneral, {"TempDir", s.tempDir}},
        {kGeneral, {"DISC_NAME", s.discName}},
        {kGeneral, {"WaitTime", std::to_string(s.waitTime)}},
        {kWindow, {"bMaximized", std::to_string(s.window.maximized ? 1 : 0)}},
        {kWindow, {"x", std::to_string(s.window.x)}},
        {kWindow, {"y", std::to_string(s.window.y)}},
        {kWindow, {"width", std::to_string(s.window.width)}},
        {kWindow, {"height", std::to_string(s.window.height)}},
        {kWindow, {"ListStyle", std::to_string(s.window.listStyle)}},
        {kWindow, {"SPLITTER_X", std::to_string(s.window.splitterX)}},
        {kWindow, {"SPLITTER_Y", std::to_string(s.window.splitterY)}},
        {kWindow, {"PLAYER_X", std::to_string(s.window.playerX)}},
        {kWindow, {"PLAYER_Y", std::to_string(s.window.playerY)}},
        {kGeneral, {"nTVCrop", std::to_string(s.tvCrop)}},
        {kGeneral, {"nRatioCorrection", std::to_string(s.ratioCorrection)}},
    };
    std::vector<ProfileEntry> profileEntries;
    for (const auto& [section, entry] : entries) profileEntries.push_back({section, entry.first, entry.second});
    return writeProfileStrings(path, profileEntries);
}

DiscOptions discOptionsFromSettings(const AppSettings& s) {
    DiscOptions options;
    options.tvStandard = s.pal ? TvStandard::PAL : TvStandard::NTSC;
    options.aspectCorrection = static_cast<AspectCorrection>(s.ratioCorrection);
    options.tvCropping = s.tvCrop;
    options.volumeLabel = s.discName;
    options.includePhotoFiles = s.writePhotoFiles;
    options.includeAudioFiles = s.writeAudioFiles;
    options.recorderIndex = s.recorder;
    options.speedIndex = std::clamp(s.burnSpeed, 0, 6);
    options.burnProof = s.burnProof != 0;
    options.stillLevels = s.fullRangeStills ? StillLevels::Full : StillLevels::Studio;
    return options;
}

void applyOptions(AppSettings& settings, Project& project, int driver, const std::string& tempDir,
                  int waitTime, int useAspi) {
    settings.driver = driver;
    settings.tempDir = withTrailingSeparator(tempDir);
    makeSureFolderExists(settings.tempDir);
    if (waitTime != settings.waitTime) project.setDefaultPlayTime(settings.waitTime, waitTime);
    settings.waitTime = waitTime;
    settings.useAspi = useAspi;
}

}  // namespace tellavine
