#include "robustness/build_fixture.h"

#include <algorithm>
#include <filesystem>

namespace tellavine::testing {
namespace {

constexpr const char* kEarlierCue = "FILE \"disc.bin\" BINARY\r\n  TRACK 01 MODE2/2352\r\n    INDEX 01 00:00:00\r\n";
const std::string kEarlierBin(2352 * 3, '\x5A');

std::string jsonText(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

}  // namespace

std::string cliPath() { return TELLAVINE_CLI; }
std::string settingsPath() { return std::string(TELLAVINE_BINARY_DIR) + "/bin/config.ini"; }

std::vector<std::string> filesBelow(const std::string& folder) {
    std::vector<std::string> files;
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(folder, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_regular_file()) files.push_back(std::filesystem::relative(it->path(), folder).string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

void CliBuildTest::SetUp() {
    photos = dir.file("photos");
    temp = dir.file("temp");
    out = dir.file("out");
    for (const auto& folder : {photos, temp, out}) std::filesystem::create_directories(folder);
    cuePath = out + "/disc.cue";
    binPath = out + "/disc.bin";
    writeFile(cuePath, kEarlierCue);
    writeFile(binPath, kEarlierBin);
    settingsBefore = readFile(settingsPath());
}

std::string CliBuildTest::samplePhoto(const std::string& sample, const std::string& name) {
    const std::string target = photos + "/" + (name.empty() ? sample : name);
    std::filesystem::create_directories(std::filesystem::path(target).parent_path());
    std::filesystem::copy_file(std::string(TELLAVINE_SOURCE_DIR) + "/samples/photos/" + sample, target,
                               std::filesystem::copy_options::overwrite_existing);
    return target;
}

std::string CliBuildTest::hostileFile(const std::string& kind) {
    const std::string command = "python3 " + shellQuoted(std::string(TELLAVINE_SOURCE_DIR) +
                                                             "/tests/robustness/make_hostile.py") +
                                " " + shellQuoted(photos) + " " + kind;
    const RunResult made = runShell(command);
    EXPECT_TRUE(made.succeeded()) << command << "\n" << made.output;
    return photos + "/" + kind;
}

std::string CliBuildTest::writeProject(const std::vector<AlbumSpec>& albums, const std::string& templatePath,
                                       const std::string& name) {
    std::string json = "{";
    if (!templatePath.empty()) json += "\"template\": " + jsonText(templatePath) + ", ";
    json += "\"albums\": [";
    for (std::size_t a = 0; a < albums.size(); ++a) {
        const AlbumSpec& album = albums[a];
        json += (a ? ", " : "") + std::string("{\"name\": ") + jsonText(album.name) + ", \"play_time\": 2";
        if (!album.music.empty()) json += ", \"music\": " + jsonText(album.music);
        json += ", \"slides\": [";
        for (std::size_t s = 0; s < album.slides.size(); ++s) {
            json += (s ? ", " : "") + std::string("{\"path\": ") + jsonText(album.slides[s].path);
            if (!album.slides[s].caption.empty())
                json += ", \"caption\": {\"text\": " + jsonText(album.slides[s].caption) + "}";
            json += "}";
        }
        json += "]}";
    }
    json += "]}";
    const std::string jsonPath = dir.file(name + ".json");
    const std::string projectPath = dir.file(name);
    writeFile(jsonPath, json);
    const std::string command = "python3 " + shellQuoted(std::string(TELLAVINE_SOURCE_DIR) +
                                                             "/scripts/write-project.py") +
                                " " + shellQuoted(jsonPath) + " " + shellQuoted(projectPath);
    const RunResult made = runShell(command);
    EXPECT_TRUE(made.succeeded()) << command << "\n" << made.output;
    std::filesystem::remove(jsonPath);
    projectsWritten[projectPath] = readFile(projectPath);
    return projectPath;
}

std::vector<std::string> CliBuildTest::buildArguments(const std::string& project) const {
    return {"build", project, "-o", cuePath, "--yes", "--temp", temp};
}

RunResult CliBuildTest::build(const std::string& project, const RunOptions& options) {
    return buildWith(buildArguments(project), options);
}

RunResult CliBuildTest::buildWith(const std::vector<std::string>& arguments, const RunOptions& options) {
    RunOptions kept = options;
    kept.keepOutputIn = dir.file("cli-output.txt");
    return runProgram(cliPath(), arguments, kept);
}

void CliBuildTest::expectEarlierImageUntouched() {
    EXPECT_EQ(readFile(cuePath), kEarlierCue);
    EXPECT_EQ(readFile(binPath), kEarlierBin);
    EXPECT_EQ(filesBelow(out), (std::vector<std::string>{"disc.bin", "disc.cue"}));
}

void CliBuildTest::expectRefusedNaming(const RunResult& result, const std::string& named, const std::string& project) {
    EXPECT_EQ(result.exitStatus, 1) << result.output;
    EXPECT_EQ(result.signal, 0) << result.output;
    EXPECT_NE(result.output.find(named), std::string::npos) << "the output does not name " << named << ":\n"
                                                           << result.output;
    expectEarlierImageUntouched();
    if (const auto written = projectsWritten.find(project); written != projectsWritten.end()) {
        EXPECT_TRUE(readFile(project) == written->second) << "the project file changed: " << project;
    }
    EXPECT_EQ(readFile(settingsPath()), settingsBefore) << "the settings changed";
}

}  // namespace tellavine::testing
