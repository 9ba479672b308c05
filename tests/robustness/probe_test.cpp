// Probes the real tellavine-cli with hostile files in every place it reads or writes:
// links in the temporary and output folders, two builds of one image at once, devices,
// FIFOs and huge files as inputs and outputs, damaged projects, hostile images for
// `inspect --extract`, and files that are not discs for the emulated recorder. Every run
// has a time limit, so a hang fails its case instead of the suite, and a memory limit,
// so unbounded reading fails instead of taking the machine.

#include "robustness/build_fixture.h"

#include <nlohmann/json.hpp>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <thread>

namespace tellavine::testing {
namespace {

namespace fs = std::filesystem;

// Offsets in the binary project file (see scripts/write-project.py).
constexpr std::size_t kAlbumCountOffset = 264;
constexpr std::size_t kMenuMusicOffset = 268 + 260;
constexpr std::size_t kMenuBackgroundOffset = 268 + 260 + 260 + 4;
constexpr std::size_t kFirstAlbumOffset = 268 + 784;
constexpr std::size_t kFirstSlideCountOffset = kFirstAlbumOffset + 260 + 4 + 260 + 4;
constexpr std::size_t kFirstSlideOffset = kFirstSlideCountOffset + 4;
constexpr std::size_t kSlideRecordBytes = 620;

const std::string kVictimContent = "a file of the user's that no build may touch\n";

void putI32(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i));
}

void putText(std::string& bytes, std::size_t at, const std::string& text) {
    std::string field = text;
    field.resize(260, '\0');
    bytes.replace(at, 260, field);
}

void makeFifo(const std::string& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0) << path; }

// A file of `size` bytes that starts with `start` and takes no room on the disk.
void makeSparse(const std::string& path, const std::string& start, std::uint64_t size) {
    writeFile(path, start);
    fs::resize_file(path, size);
}

class ProbeTest : public CliBuildTest {
public:
    // The table-driven cases below make their files through these.
    using CliBuildTest::dir;
    using CliBuildTest::photos;
    using CliBuildTest::projectsWritten;
    using CliBuildTest::samplePhoto;
    using CliBuildTest::writeProject;

    // A minute for anything, and far less memory than unbounded reading wants.
    static RunOptions limited() {
        RunOptions options;
        options.timeoutSeconds = 60;
        options.memoryLimit = 3LL << 30;
        return options;
    }
    RunResult run(const std::vector<std::string>& arguments) { return buildWith(arguments, limited()); }
    RunResult buildLimited(const std::string& project) { return build(project, limited()); }

    std::string oneAlbumProject(const std::string& name = "project.ovp") {
        return writeProject({{"Album", {{samplePhoto("aqua.jpg")}, {samplePhoto("garden.jpg")}}}}, {}, name);
    }
    // Rewrites a project written by writeProject (kept as the bytes it must still hold).
    std::string patched(const std::string& project, const std::function<void(std::string&)>& change) {
        std::string bytes = readFile(project);
        change(bytes);
        writeFile(project, bytes);
        projectsWritten[project] = bytes;
        return project;
    }
    // A victim file and a link to it under `name` in `folder`.
    std::string victimLinkedAs(const std::string& folder, const std::vector<std::string>& names) {
        const std::string victim = dir.file("victim.txt");
        if (!fs::exists(victim)) writeFile(victim, kVictimContent);
        for (const auto& name : names) fs::create_symlink(victim, folder + "/" + name);
        return victim;
    }
    void expectQuickRefusal(const RunResult& result, const std::string& named) {
        EXPECT_EQ(result.signal, 0) << "the run hung or crashed:\n" << result.output;
        EXPECT_EQ(result.exitStatus, 1) << result.output;
        EXPECT_NE(result.output.find(named), std::string::npos) << "no \"" << named << "\" in:\n" << result.output;
        EXPECT_EQ(result.output.find("successfully written"), std::string::npos) << result.output;
    }
};

// ---- Faults 1 and 2 (the temporary folder and the image sink): these cases fail until
// ---- the fix in src/pipeline and src/vcd/image_sink.* is merged.

// Every name a build of menu music, album music and two albums writes in its temporary
// folder (seen with strace), and the names the image is written under before its rename.
const std::vector<std::string> kTemporaryNames = {
    "temp_d.m1v",         "bkmusic.mp2",         "tmpwav.~av",
    "menu_01.mpg",        "menu_02.mpg",         "menu_01_pic_01.mpg",
    "menu_01_pic_01.m1v", "menu_01_pic_01_small.m1v", "menu_01_pic_01.mp2",
    "menu_02_pic_01.mpg", "menu_02_pic_01.m1v",  "menu_02_pic_01_small.m1v",
    "menu_02_pic_01.mp2",
};

TEST_F(ProbeTest, LinksInTheTemporaryAndOutputFoldersNeverWriteThroughToTheirTarget) {
    const std::string music = hostileFile("tone.wav");
    auto project = writeProject({{"First", {{samplePhoto("aqua.jpg"), "caption"}, {samplePhoto("dune.jpg")}}, music},
                                 {"Second", {{samplePhoto("wood.jpg")}}, music}});
    project = patched(project, [&](std::string& bytes) { putText(bytes, kMenuMusicOffset, music); });
    const std::string victim = victimLinkedAs(temp, kTemporaryNames);
    victimLinkedAs(out, {"disc.bin.part", "disc.cue.part"});
    const auto result = buildLimited(project);
    EXPECT_EQ(result.signal, 0) << result.output;
    EXPECT_EQ(readFile(victim), kVictimContent) << "a build wrote through a link:\n" << result.output;
    if (result.exitStatus == 0) {
        EXPECT_EQ(run({"inspect", cuePath}).exitStatus, 0);
    }
}

// The tracks of the cue sheet and the entry points inside the BIN agree only when both
// files come from one build.
void expectOneWholeImage(const RunResult& inspected) {
    ASSERT_EQ(inspected.exitStatus, 0) << inspected.output;
    const auto listing = nlohmann::json::parse(inspected.output, nullptr, false);
    ASSERT_FALSE(listing.is_discarded()) << inspected.output;
    std::vector<std::uint32_t> starts, entries;
    for (const auto& track : listing["tracks"]) {
        if (track["number"] != 1) starts.push_back(track["start"]);
    }
    for (const auto& entry : listing["entries"]) entries.push_back(entry["lsn"]);
    EXPECT_FALSE(starts.empty()) << inspected.output;
    EXPECT_EQ(starts, entries) << "the cue sheet and the BIN come from different builds:\n" << inspected.output;
}

TEST_F(ProbeTest, TwoBuildsOfOneImageAtOnceLeaveOneWholeImage) {
    // A photo carrying 24 MB of comment segments: its copy on the disc makes writing the
    // image last long enough for the two builds to write at the same time.
    std::string heavy = readFile(samplePhoto("aqua.jpg"));
    const std::string segment = std::string("\xFF\xFE\xFF\xFF", 4) + std::string(0xFFFD, 'c');
    for (int i = 0; i < 384; ++i) heavy.insert(2, segment);
    writeFile(photos + "/heavy.jpg", heavy);
    const auto small = writeProject({{"One", {{photos + "/heavy.jpg"}}}}, {}, "small.ovp");
    const auto large = writeProject({{"One", {{photos + "/heavy.jpg"}, {samplePhoto("storm.jpg")}}},
                                     {"Two", {{samplePhoto("wood.jpg")}}},
                                     {"Three", {{samplePhoto("dune.jpg")}}}},
                                    {}, "large.ovp");
    const std::string otherTemp = dir.file("temp2");
    fs::create_directories(otherTemp);
    for (int round = 0; round < 3; ++round) {
        RunResult first, second;
        std::thread a([&] {
            first = runProgram(cliPath(), {"build", small, "-o", cuePath, "--yes", "--temp", temp}, limited());
        });
        std::thread b([&] {
            second = runProgram(cliPath(), {"build", large, "-o", cuePath, "--yes", "--temp", otherTemp}, limited());
        });
        a.join();
        b.join();
        EXPECT_TRUE(first.exitStatus == 0 || second.exitStatus == 0) << first.output << "\n" << second.output;
        expectOneWholeImage(run({"inspect", "--json", cuePath}));
        EXPECT_EQ(filesBelow(out), (std::vector<std::string>{"disc.bin", "disc.cue"}));
    }
}

// ---- Faults 3 and 4: inputs and outputs that are not regular files, or far too large.

struct HostileInput {
    const char* name;
    // Makes the hostile file and the project; returns the project and the text the
    // refusal must show.
    std::function<std::pair<std::string, std::string>(ProbeTest&)> make;
};

void PrintTo(const HostileInput& input, std::ostream* out) { *out << input.name; }

class HostileInputTest : public ProbeTest, public ::testing::WithParamInterface<HostileInput> {};

TEST_P(HostileInputTest, IsRefusedAtOnceByName) {
    const auto [project, named] = GetParam().make(*this);
    const auto result = buildLimited(project);
    expectQuickRefusal(result, named);
    expectRefusedNaming(result, named, project);
}

// One album of a good photo and `photo` (when given), with `music`; the hostile one is named.
std::pair<std::string, std::string> albumWith(ProbeTest& test, const std::string& photo, const std::string& music) {
    std::vector<SlideSpec> slides{{test.samplePhoto("aqua.jpg")}};
    if (!photo.empty()) slides.push_back({photo});
    return {test.writeProject({{"Album", slides, music}}), photo.empty() ? music : photo};
}

INSTANTIATE_TEST_SUITE_P(
    Probe, HostileInputTest,
    ::testing::Values(
        HostileInput{"TemplateIsDevZero",
                     [](ProbeTest& test) {
                         auto& self = test;
                         const auto project =
                             self.writeProject({{"Album", {{self.samplePhoto("aqua.jpg")}}}}, "/dev/zero");
                         return std::make_pair(project, std::string("/dev/zero: it is not a regular file"));
                     }},
        HostileInput{"TemplateOf200MB",
                     [](ProbeTest& test) {
                         auto& self = test;
                         const std::string huge = self.dir.file("huge.ini");
                         makeSparse(huge, "[General]\nItems_count=6\n", 200u << 20);
                         const auto project = self.writeProject({{"Album", {{self.samplePhoto("aqua.jpg")}}}}, huge);
                         return std::make_pair(project, huge + ": it is larger than 1 MiB");
                     }},
        HostileInput{"ProjectLargerThanAnyProject",
                     [](ProbeTest& test) {
                         auto& self = test;
                         const auto project = self.oneAlbumProject();
                         const std::string bytes = readFile(project);
                         makeSparse(project, bytes, 200u << 20);
                         self.projectsWritten.erase(project);
                         return std::make_pair(project, std::string("it is larger than"));
                     }},
        HostileInput{"AlbumMusicIsAFifo",
                     [](ProbeTest& test) {
                         auto& self = test;
                         makeFifo(self.photos + "/music.wav");
                         return albumWith(test, "", self.photos + "/music.wav");
                     }},
        HostileInput{"AlbumMusicIsDevZero",
                     [](ProbeTest& test) {
                         auto& self = test;
                         fs::create_symlink("/dev/zero", self.photos + "/zero.mp3");
                         return albumWith(test, "", self.photos + "/zero.mp3");
                     }},
        HostileInput{"MenuMusicIsAFifo",
                     [](ProbeTest& test) {
                         auto& self = test;
                         const std::string music = self.photos + "/menu.wav";
                         makeFifo(music);
                         const auto project = self.patched(self.oneAlbumProject(), [&](std::string& bytes) {
                             putText(bytes, kMenuMusicOffset, music);
                         });
                         return std::make_pair(project, music);
                     }},
        HostileInput{"PhotoIsAFifo",
                     [](ProbeTest& test) {
                         auto& self = test;
                         makeFifo(self.photos + "/photo.jpg");
                         return albumWith(test, self.photos + "/photo.jpg", "");
                     }},
        HostileInput{"PhotoIsDevZero",
                     [](ProbeTest& test) {
                         auto& self = test;
                         fs::create_symlink("/dev/zero", self.photos + "/zero.jpg");
                         return albumWith(test, self.photos + "/zero.jpg", "");
                     }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProbeTest, ImageFilesThatAreFifosAreRefusedBeforeAnyWork) {
    const auto project = oneAlbumProject();
    for (const std::string& path : {binPath, cuePath}) {
        fs::remove(path);
        makeFifo(path);
        const auto result = buildLimited(project);
        expectQuickRefusal(result, path + ": it is not a regular file");
        struct stat status {};
        ASSERT_EQ(::stat(path.c_str(), &status), 0);
        EXPECT_TRUE(S_ISFIFO(status.st_mode));
        fs::remove(path);
        writeFile(path, "");
    }
}

// config.ini lives beside the program, so these runs use a copy of the program folder.
TEST_F(ProbeTest, SettingsFileThatIsAFifoOrDevZeroIsRefusedByName) {
    const std::string programDir = dir.file("program");
    fs::create_directories(programDir);
    const fs::path built = fs::path(cliPath()).parent_path();
    for (const char* program : {"tellavine-cli", "tellavine-mpegworker"}) {
        std::error_code ec;
        fs::create_hard_link(built / program, fs::path(programDir) / program, ec);
        if (ec) fs::copy_file(built / program, fs::path(programDir) / program);
    }
    for (const char* data : {"template", "avseq01.npal", "avseq01.ntsc", "temp_x.npal", "temp_x.ntsc"}) {
        fs::create_symlink(built / data, fs::path(programDir) / data);
    }
    const std::string settings = programDir + "/config.ini";
    const auto project = oneAlbumProject();
    const std::string cli = programDir + "/tellavine-cli";
    for (const std::function<void()>& make : std::vector<std::function<void()>>{
             [&] { makeFifo(settings); }, [&] { fs::create_symlink("/dev/zero", settings); }}) {
        make();
        const auto result = runProgram(cli, buildArguments(project), limited());
        expectQuickRefusal(result, "settings file " + settings + ": it is not a regular file");
        expectEarlierImageUntouched();
        EXPECT_FALSE(fs::is_regular_file(settings)) << "the settings were written over the FIFO or link";
        fs::remove(settings);
    }
}

// ---- Fault 5: damaged projects are refused by the command line; an unreadable menu
// ---- background is a warning.

struct DamagedProject {
    const char* name;
    std::function<void(std::string& bytes)> damage;
    const char* reason;
};

void PrintTo(const DamagedProject& project, std::ostream* out) { *out << project.name; }

class DamagedProjectTest : public ProbeTest, public ::testing::WithParamInterface<DamagedProject> {};

TEST_P(DamagedProjectTest, IsRefusedWithWhatIsDamaged) {
    const auto project = patched(oneAlbumProject(), GetParam().damage);
    const auto result = buildLimited(project);
    expectRefusedNaming(result, project, project);
    EXPECT_NE(result.output.find(GetParam().reason), std::string::npos) << result.output;
}

INSTANTIATE_TEST_SUITE_P(
    Probe, DamagedProjectTest,
    ::testing::Values(
        DamagedProject{"NegativeAlbumCount", [](std::string& bytes) { putI32(bytes, kAlbumCountOffset, -3); },
                       "its album count is -3"},
        DamagedProject{"AlbumCountOfTwoToThe31",
                       [](std::string& bytes) { putI32(bytes, kAlbumCountOffset, 0x80000000u); },
                       "its album count is -2147483648"},
        DamagedProject{"AlbumCountBeyondTheFile",
                       [](std::string& bytes) { putI32(bytes, kAlbumCountOffset, 0x7FFFFFFF); },
                       "is damaged: it ends before album 2 of the 2147483647 it counts"},
        DamagedProject{"NegativePhotoCount", [](std::string& bytes) { putI32(bytes, kFirstSlideCountOffset, -1); },
                       "album 1 counts -1 photos"},
        DamagedProject{"CutInsideTheSecondPhoto",
                       [](std::string& bytes) { bytes.resize(kFirstSlideOffset + kSlideRecordBytes + 100); },
                       "is damaged: it ends inside album 1, before photo 2 of the 2 it counts"},
        DamagedProject{"CutInsideTheMenu", [](std::string& bytes) { bytes.resize(kMenuMusicOffset + 10); },
                       "is damaged: it ends inside the menu settings"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProbeTest, UnreadableMenuBackgroundIsAWarningNamingIt) {
    const std::string fifo = photos + "/background.png";
    makeFifo(fifo);
    for (const std::string& background : {std::string("/dev/zero"), fifo, photos + "/missing.jpg"}) {
        const auto project = patched(writeProject({{"One", {{samplePhoto("aqua.jpg")}}}, {"Two", {{samplePhoto("dune.jpg")}}}}),
                                     [&](std::string& bytes) { putText(bytes, kMenuBackgroundOffset, background); });
        const auto result = buildLimited(project);
        EXPECT_EQ(result.exitStatus, 0) << result.output;
        EXPECT_NE(result.output.find("The menu background picture " + background + " cannot be used"),
                  std::string::npos)
            << result.output;
    }
}

// ---- Fault 6: `inspect --extract` on hostile images and into a folder holding links.

class InspectProbeTest : public ProbeTest {
protected:
    void SetUp() override {
        ProbeTest::SetUp();
        const auto project = writeProject({{"One", {{samplePhoto("aqua.jpg")}}}, {"Two", {{samplePhoto("dune.jpg")}}}});
        const auto built = buildLimited(project);
        ASSERT_EQ(built.exitStatus, 0) << built.output;
        goodCue = readFile(cuePath);
        goodBin = readFile(binPath);
    }
    // An image of `cue` and `bin` in a folder of its own; returns the cue's path.
    std::string imageOf(const std::string& name, const std::string& cue, const std::string& bin) {
        const std::string folder = dir.file(name);
        fs::create_directories(folder);
        writeFile(folder + "/disc.cue", cue);
        writeFile(folder + "/disc.bin", bin);
        return folder + "/disc.cue";
    }
    // The BIN with the directory record of the first file of `size` bytes at `extent`
    // given another extent and size (both byte orders, as ISO 9660 stores them).
    std::string withRecord(std::uint32_t extent, std::uint32_t size, std::uint32_t newExtent, std::uint32_t newSize) {
        auto bothEndian = [](std::uint32_t value) {
            std::string field(8, '\0');
            for (int i = 0; i < 4; ++i) {
                field[static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i));
                field[static_cast<std::size_t>(7 - i)] = static_cast<char>(value >> (8 * i));
            }
            return field;
        };
        std::string bin = goodBin;
        const auto at = bin.find(bothEndian(extent) + bothEndian(size));
        EXPECT_NE(at, std::string::npos) << "no directory record of extent " << extent;
        if (at != std::string::npos) bin.replace(at, 16, bothEndian(newExtent) + bothEndian(newSize));
        return bin;
    }
    // Extent and size of `path` in the good image.
    std::pair<std::uint32_t, std::uint32_t> recordOf(const std::string& path) {
        const auto listed = run({"inspect", "--json", cuePath});
        const auto listing = nlohmann::json::parse(listed.output, nullptr, false);
        if (!listing.is_discarded()) {
            for (const auto& file : listing["files"]) {
                if (file["path"] == path) return {file["extent"], file["size"]};
            }
        }
        ADD_FAILURE() << path << " is not in the listing:\n" << listed.output;
        return {0, 0};
    }
    void expectExtractRefused(const std::string& cue, const std::string& named, std::string target = {}) {
        if (target.empty()) target = dir.file("extract-" + std::to_string(++runs));
        const auto result = run({"inspect", cue, "--extract", target});
        EXPECT_EQ(result.signal, 0) << result.output;
        EXPECT_NE(result.exitStatus, 0) << result.output;
        EXPECT_NE(result.output.find(named), std::string::npos) << "no \"" << named << "\" in:\n" << result.output;
    }

    std::string goodCue, goodBin;
    int runs = 0;
};

TEST_F(InspectProbeTest, FilesAndTracksBeyondTheImageAreReportedNotExtractedShort) {
    const std::uint32_t sectors = static_cast<std::uint32_t>(goodBin.size() / 2352);
    const auto [extent, size] = recordOf("VCD/ENTRIES.VCD");
    expectExtractRefused(imageOf("size-past-end", goodCue, withRecord(extent, size, extent, (sectors - extent) * 2048 + 1)),
                         "VCD/ENTRIES.VCD (sectors");
    expectExtractRefused(imageOf("extent-past-end", goodCue, withRecord(extent, size, sectors + 10, size)),
                         "lies beyond the end of the image");
    std::string cue = goodCue;
    const auto lastIndex = cue.rfind("INDEX 01 ");
    ASSERT_NE(lastIndex, std::string::npos);
    cue.replace(lastIndex + 9, 8, "70:00:00");
    expectExtractRefused(imageOf("track-past-end", cue, goodBin), "lies beyond the end of the image");

    const std::string whole = dir.file("whole");
    const auto extracted = run({"inspect", cuePath, "--extract", whole});
    EXPECT_EQ(extracted.exitStatus, 0) << extracted.output;
    EXPECT_EQ(readFile(whole + "/VCD/ENTRIES.VCD").size(), size);
    EXPECT_FALSE(readFile(whole + "/track02.mpg").empty());
}

TEST_F(InspectProbeTest, LinksInTheExtractFolderAreNeverFollowed) {
    const std::string linked = dir.file("linked");
    fs::create_directories(linked);
    const std::string victim = victimLinkedAs(linked, {"track02.mpg"});
    expectExtractRefused(cuePath, linked + "/track02.mpg already exists", linked);
    EXPECT_EQ(readFile(victim), kVictimContent);

    // A VCD link would put the control files into another folder.
    const std::string elsewhere = dir.file("elsewhere");
    const std::string redirected = dir.file("redirected");
    fs::create_directories(elsewhere);
    fs::create_directories(redirected);
    fs::create_directory_symlink(elsewhere, redirected + "/VCD");
    const auto result = run({"inspect", cuePath, "--extract", redirected});
    EXPECT_NE(result.exitStatus, 0) << result.output;
    EXPECT_NE(result.output.find(redirected + "/VCD"), std::string::npos) << result.output;
    EXPECT_TRUE(fs::is_empty(elsewhere)) << "the extraction followed the VCD link";
}

// ---- Fault 7: the emulated recorder takes only a new file or a disc it made itself.

TEST_F(ProbeTest, EmulatedRecorderRefusesFilesItDidNotMakeAndDevices) {
    const auto project = oneAlbumProject();
    const std::string small = dir.file("notes.txt");
    writeFile(small, kVictimContent);
    const std::string image = dir.file("someone-elses.bin");
    writeFile(image, std::string(2352 * 20, 'i'));
    const std::string device = dir.file("full");
    fs::create_symlink("/dev/full", device);
    const std::string folder = dir.file("a-folder");
    fs::create_directories(folder);
    for (const std::string& path : {small, image, device, folder}) {
        const std::string before = fs::is_regular_file(path) ? readFile(path) : "";
        const auto result = run({"burn", project, "-d", "emulated:" + path, "--temp", temp});
        expectQuickRefusal(result, "The emulated recorder cannot use its disc: " + path);
        if (fs::is_regular_file(path)) {
            EXPECT_EQ(readFile(path), before) << path;
        }
        EXPECT_FALSE(fs::exists(path + ".state")) << path;
    }
    // Its own disc, and a new one, are taken.
    const std::string disc = dir.file("new.bin");
    EXPECT_EQ(run({"burn", project, "-d", "emulated:" + disc, "--temp", temp}).exitStatus, 0);
    EXPECT_TRUE(fs::exists(disc + ".state"));
    const auto again = run({"burn", project, "-d", "emulated:" + disc, "--temp", temp});
    EXPECT_EQ(again.output.find("cannot use its disc"), std::string::npos) << again.output;
}

}  // namespace
}  // namespace tellavine::testing
