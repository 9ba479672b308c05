#pragma once
// A folder for one run of `tellavine-cli build`: photos/, a temporary folder, and an
// output folder holding an earlier image that a failing build must leave as it was.

#include "support/child_process.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace tellavine::testing {

struct SlideSpec {
    SlideSpec(std::string path, std::string caption = {}) : path(std::move(path)), caption(std::move(caption)) {}
    std::string path;
    std::string caption;
};

struct AlbumSpec {
    AlbumSpec(std::string name, std::vector<SlideSpec> slides, std::string music = {})
        : name(std::move(name)), slides(std::move(slides)), music(std::move(music)) {}
    std::string name;
    std::vector<SlideSpec> slides;
    std::string music;
};

class CliBuildTest : public ::testing::Test {
protected:
    void SetUp() override;

    // A copy of a bundled sample photo in photos/, returned as a full path.
    std::string samplePhoto(const std::string& sample, const std::string& name = {});
    // Hostile files made by make_hostile.py in photos/.
    std::string hostileFile(const std::string& kind);
    // Writes the project file (scripts/write-project.py) and returns its path.
    std::string writeProject(const std::vector<AlbumSpec>& albums, const std::string& templatePath = {},
                             const std::string& name = "project.ovp");

    std::vector<std::string> buildArguments(const std::string& project) const;
    RunResult build(const std::string& project, const RunOptions& options = {});
    RunResult buildWith(const std::vector<std::string>& arguments, const RunOptions& options = {});

    // Exit status 1, `named` in the output, and nothing but the earlier image in the
    // output folder, byte for byte; the project file and the settings as they were.
    void expectRefusedNaming(const RunResult& result, const std::string& named, const std::string& project);
    // The output folder holds nothing but the earlier image.
    void expectEarlierImageUntouched();

    TempDir dir;
    std::string photos, temp, out, cuePath, binPath;
    std::string settingsBefore;
    std::map<std::string, std::string> projectsWritten;  // path -> bytes as written
};

std::string cliPath();
std::string settingsPath();
// Every regular file below `folder`, as paths relative to it, sorted.
std::vector<std::string> filesBelow(const std::string& folder);

}  // namespace tellavine::testing
