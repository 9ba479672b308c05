#pragma once
// Project files: the binary ".ovp" format (written and read) and the old INI ".orx"
// format (read only). Readers fill an already cleared project and show their own
// messages; they bound everything they allocate by the model's limits.

#include "platform/profile.h"
#include "project/model.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tellavine {

inline constexpr const char* kProjectSignature = "Orvessa Project File";
inline constexpr std::int32_t kProjectVersion = 200;
inline constexpr std::size_t kProjectHeaderSize = 268;
inline constexpr std::size_t kMenuBlockSize = 784;
inline constexpr std::size_t kAlbumRecordSize = 532;
inline constexpr std::size_t kSlideRecordSize = 620;
inline constexpr std::size_t kFileTextSize = 260;
inline constexpr const char* kOldProjectDescription = "Orvessa Project";
inline constexpr const char* kDefaultTemplatePath = "template\\classic.ini";

enum class ProjectReadResult {
    Loaded,       // everything the file holds
    Partial,      // loaded up to a truncation or the model's limits (the user was told)
    OpenFailed,
    Invalid,      // too short or wrong signature
    Unsupported,  // wrong version
};

// The whole project in the binary format.
std::vector<std::uint8_t> serializeProject(const Project& project);

// Writes beside `path` and renames over it only when everything was written, so a
// failed save never destroys the previous file. Shows the failure message with the
// system's reason. True when the file was written.
bool saveProject(const Project& project, const std::string& path);

// What the reader does with a template path that names no file in the program folder:
// the program falls back to the classic template; a listing keeps the path as written.
enum class MissingTemplate { UseClassic, Keep };

// Reads a binary project into `project` (cleared by the caller). `programDir` locates
// the menu template, whose page size is read into the project. Only a regular file no
// larger than the largest project is read. For any result but Loaded, `damage` (when
// given) says what is wrong, as a phrase: "it ends inside album 2, before photo 3 of
// the 10 it counts". A negative album or photo count makes the file Invalid.
ProjectReadResult loadProject(Project& project, const std::string& path, const std::string& programDir,
                              std::string* damage = nullptr, MissingTemplate missing = MissingTemplate::UseClassic);
ProjectReadResult loadProjectBytes(Project& project, std::span<const std::uint8_t> bytes,
                                   const std::string& programDir, std::string* damage = nullptr,
                                   MissingTemplate missing = MissingTemplate::UseClassic);

// Reads the old INI format into `project` (cleared by the caller); `damage` as above.
ProjectReadResult loadOldProject(Project& project, const std::string& path, std::string* damage = nullptr);
ProjectReadResult loadOldProjectDocument(Project& project, const ProfileDocument& file,
                                         std::string* damage = nullptr);

// A path kept relative to the program directory ("template\classic.ini") as a full
// path on this system.
std::string programFilePath(const std::string& programDir, const std::string& relativePath);

}  // namespace tellavine
