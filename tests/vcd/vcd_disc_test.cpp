// A whole Video CD 2.0 authored from streams that the real mjpegtools make at test
// time, read back by cd-info, isoinfo and ffprobe, with its control files decoded.

#include "support/bin_sectors.h"
#include "support/child_process.h"
#include "support/recording_receiver.h"
#include "support/sector_check.h"
#include "support/temp_dir.h"
#include "vcd/authoring_object.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tellavine::vcd {
namespace {

using tellavine::testing::TempDir;
using tellavine::testing::readBytes;
using tellavine::testing::writeFile;
using namespace testing;
using tellavine::testing::RunResult;
using tellavine::testing::runShell;
using tellavine::testing::shellQuoted;
using tellavine::testing::RecordingReceiver;

class VideoCdDiscTest : public ::testing::Test {
protected:
    // The streams are made once per build tree: into a private folder that is then
    // renamed into place, so tests running in parallel never see half a set.
    static void SetUpTestSuite() {
        const std::filesystem::path cache = std::filesystem::path(TELLAVINE_BINARY_DIR) / "test-fixtures" / "vcd-disc";
        fixtureFolder = cache.string() + "/";
        if (std::filesystem::exists(cache / "video.mpg")) return;
        std::filesystem::create_directories(cache.parent_path());
        std::string work = (cache.parent_path() / "vcd-disc-XXXXXX").string();
        if (!mkdtemp(work.data())) return;
        const std::string script =
            "set -e; cd " + shellQuoted(work) + "\n"
            "ffmpeg -loglevel error -f lavfi -i testsrc=size=352x288:rate=25 -frames:v 1 -pix_fmt yuv420p -f yuv4mpegpipe s1.y4m\n"
            "ffmpeg -loglevel error -f lavfi -i smptebars=size=352x288:rate=25 -frames:v 1 -pix_fmt yuv420p -f yuv4mpegpipe s2.y4m\n"
            "mpeg2enc -v 0 -f 6 -T 40 -o s1.m1v < s1.y4m\n"
            "mpeg2enc -v 0 -f 6 -T 40 -o s2.m1v < s2.y4m\n"
            "mplex -v 0 -f 6 -o menu.mpg s1.m1v\n"
            "mplex -v 0 -f 6 -o photo.mpg s2.m1v\n"
            "ffmpeg -loglevel error -f lavfi -i testsrc=size=352x288:rate=25 -frames:v 13 -pix_fmt yuv420p -f yuv4mpegpipe v.y4m\n"
            "ffmpeg -loglevel error -f lavfi -i sine=frequency=440:sample_rate=44100:duration=0.5 -ac 2 -c:a mp2 -b:a 224k a.mp2\n"
            "mpeg2enc -v 0 -f 1 -o v.m1v < v.y4m\n"
            "mplex -v 0 -f 1 -o video.mpg v.m1v a.mp2\n"
            "rm -f *.y4m\n";
        writeFile(work + "/make.sh", script);
        fixtureResult = runShell("sh " + shellQuoted(work + "/make.sh"));
        std::error_code ignored;
        if (fixtureResult.exitStatus != 0 || (std::filesystem::rename(work, cache, ignored), ignored))
            std::filesystem::remove_all(work, ignored);
    }

    void SetUp() override {
        ASSERT_TRUE(std::filesystem::exists(fixtureFolder + "video.mpg")) << fixtureResult.output;
        owner.window.attach(receiver);
        for (const char* name : {"menu.mpg", "photo.mpg", "video.mpg"})
            std::filesystem::copy_file(fixtureFolder + name, dir.file(name));
        writeFile(dir.file("a.jpg"), std::string(3000, 'j'));
        menuBytes = readBytes(dir.file("menu.mpg"));
        photoBytes = readBytes(dir.file("photo.mpg"));
        author();
    }

    void author() {
        auto object = createAuthoringObject(3);
        object->setTextParameter(TextParameter::VolumeId, "HOLIDAY");
        object->setTextParameter(TextParameter::AlbumId, "HOLIDAY");
        object->setTextParameter(TextParameter::PublisherId, "Tellavine");
        PbcNode page = createPbcNode(PbcNodeKind::SelectionList);
        page.id = "page1";
        page.bsn = 1;
        page.loopCount = 1;
        page.timeoutTime = -1;
        page.itemId = "menu";
        page.selections = {"album1"};
        ASSERT_EQ(object->appendPbcNode(page), 0);
        PbcNode album = createPbcNode(PbcNodeKind::PlayList);
        album.id = "album1";
        album.items = {"photo", "video"};
        album.waitTime = 5;
        album.returnId = "page1";
        ASSERT_EQ(object->appendPbcNode(album), 0);
        ASSERT_EQ(object->addCustomFile("Photo Files/Album/a.jpg", openFileDataSource(dir.file("a.jpg")), false), 0);
        ASSERT_EQ(object->appendSegmentItem(createMpegSource(openFileDataSource(dir.file("menu.mpg"))), "menu"), 0);
        ASSERT_EQ(object->addSegmentPause(std::nullopt, 0.0), 0);
        ASSERT_EQ(object->appendSegmentItem(createMpegSource(openFileDataSource(dir.file("photo.mpg"))), "photo"), 0);
        ASSERT_EQ(object->addSegmentPause(std::nullopt, 0.0), 0);
        auto video = createMpegSource(openFileDataSource(dir.file("video.mpg")));
        ASSERT_EQ(object->appendSequenceItem(std::move(video), std::string("video"), std::string("video-entry")), 0);
        menuPacks = object->segments()[0].source->info().packs;
        photoPacks = object->segments()[1].source->info().packs;
        videoPacks = object->sequences()[0].source->info().packs;
        videoInfo = object->sequences()[0].source->info();
        total = object->beginOutput();
        ASSERT_GT(total, 0) << object->failureReason();
        auto sink = createImageSink(dir.file("disc.cue"), dir.file("disc.bin"), owner);
        ASSERT_EQ(object->writeImage(sink.get(), {}, owner), kWriteComplete) << object->failureReason();
        object->endOutput();
    }

    std::vector<std::uint8_t> userData(std::uint32_t lsn, std::size_t size = 2048) {
        const auto sector = readSector(dir.file("disc.bin"), lsn);
        return {sector.begin() + 24, sector.begin() + 24 + size};
    }
    static std::uint16_t be16(const std::vector<std::uint8_t>& data, std::size_t at) {
        return (data[at] << 8) | data[at + 1];
    }

    static inline std::string fixtureFolder;
    static inline RunResult fixtureResult;
    TempDir dir;
    SinkOwner owner;
    std::shared_ptr<RecordingReceiver> receiver = std::make_shared<RecordingReceiver>();
    std::vector<std::uint8_t> menuBytes, photoBytes;
    std::uint32_t menuPacks = 0, photoPacks = 0, videoPacks = 0;
    MpegStreamInfo videoInfo;
    std::int64_t total = 0;
};

TEST_F(VideoCdDiscTest, ScannedStreamsMatchWhatTheEncoderMade) {
    EXPECT_EQ(menuPacks, menuBytes.size() / 2324);
    EXPECT_EQ(photoPacks, photoBytes.size() / 2324);
    EXPECT_TRUE(videoInfo.video[0].present);
    EXPECT_TRUE(videoInfo.audio[0].present);
    EXPECT_EQ(videoInfo.audio[0].layer, 2u);
    EXPECT_EQ(videoInfo.audio[0].samplingRate, 44100u);
    EXPECT_EQ(videoNorm(videoInfo.video[0]), VideoNorm::PalSif);
    EXPECT_FALSE(videoInfo.video[0].accessPoints.empty());
    EXPECT_NEAR(videoInfo.playingTime, 0.5, 0.1);
}

TEST_F(VideoCdDiscTest, CdInfoRecognisesAVideoCd) {
    const auto info = runShell("cd-info --no-device-info --no-disc-mode --cue-file " + shellQuoted(dir.file("disc.cue")));
    EXPECT_NE(info.output.find("Video CD"), std::string::npos) << info.output;
    EXPECT_NE(info.output.find("  2: "), std::string::npos) << info.output;
    EXPECT_NE(info.output.find("HOLIDAY"), std::string::npos) << info.output;
}

TEST_F(VideoCdDiscTest, IsoinfoListsTheVideoCdFiles) {
    const auto iso = dir.file("track.iso");
    ASSERT_TRUE(extractForm1UserData(dir.file("disc.bin"), 0, 16 + 60, iso));  // the tree lives below 76
    const auto listing = runShell("isoinfo -l -i " + shellQuoted(iso));
    for (const char* name : {"ITEM0001.DAT;1", "ITEM0002.DAT;1", "PSD.VCD;1", "LOT.VCD;1", "INFO.VCD;1",
                             "ENTRIES.VCD;1", "PSD_X.VCD;1", "LOT_X.VCD;1", "AVSEQ01.DAT;1", "A.JPG;1"})
        EXPECT_NE(listing.output.find(name), std::string::npos) << name << "\n" << listing.output;
    EXPECT_NE(listing.output.find("Directory listing of /SEGMENT/"), std::string::npos);
}

TEST_F(VideoCdDiscTest, SegmentPacksInTheImageAreTheEncodedStreams) {
    // The control area (INFO, ENTRIES, LOT, PSD) ends before 225; the segments follow.
    std::vector<std::uint8_t> menu, photo;
    for (std::uint32_t i = 0; i < menuPacks; ++i) {
        const auto pack = userData(225 + i, 2324);
        menu.insert(menu.end(), pack.begin(), pack.end());
    }
    for (std::uint32_t i = 0; i < photoPacks; ++i) {
        const auto pack = userData(375 + i, 2324);
        photo.insert(photo.end(), pack.begin(), pack.end());
    }
    EXPECT_TRUE(menu == menuBytes) << firstDifference(menuBytes, menu);
    EXPECT_TRUE(photo == photoBytes) << firstDifference(photoBytes, photo);
    EXPECT_FALSE(std::filesystem::exists(dir.file("menu.mpg")));  // consumed by the image
    EXPECT_TRUE(std::filesystem::exists(dir.file("video.mpg")));

    for (const auto& [name, bytes] : {std::pair{"menu", &menu}, std::pair{"photo", &photo}}) {
        const auto extracted = dir.file(std::string(name) + "-from-image.mpg");
        writeFile(extracted, std::string(bytes->begin(), bytes->end()));
        const auto probe = runShell("ffprobe -v error -show_entries stream=codec_name,width,height:format=format_name,size "
                                   "-of compact " + shellQuoted(extracted));
        EXPECT_NE(probe.output.find("codec_name=mpeg1video|width=352|height=288"), std::string::npos) << probe.output;
        EXPECT_NE(probe.output.find("format_name=mpeg"), std::string::npos) << probe.output;
        EXPECT_NE(probe.output.find("size=" + std::to_string(bytes->size())), std::string::npos) << probe.output;
    }
    EXPECT_EQ(readSector(dir.file("disc.bin"), 225 + menuPacks - 1)[18] & 0x80, 0x80);  // end of file
    // mplex puts the system header alone in the first pack: the first time stamp, and
    // with it the trigger of the pause at 0 s, is in the second.
    EXPECT_EQ(readSector(dir.file("disc.bin"), 225)[18] & 0x10, 0);
    EXPECT_EQ(readSector(dir.file("disc.bin"), 226)[18] & 0x10, 0x10);
}

TEST_F(VideoCdDiscTest, ControlFilesDecodeToWhatWasAuthored) {
    const auto info = userData(150);
    EXPECT_EQ(std::string(info.begin(), info.begin() + 8), "VIDEO_CD");
    EXPECT_EQ(info[8], 2);
    EXPECT_EQ(info[30], 0x01);        // the sequence is PAL
    EXPECT_EQ(info[43], 0x80);        // extended PSD present
    EXPECT_EQ(be16(info, 46), 24 + 24);  // selection list of 1 (22 -> 24), play list of 2 (18 -> 24)
    EXPECT_EQ(info[51], 8);
    EXPECT_EQ(be16(info, 52), 2);
    EXPECT_EQ(be16(info, 54), 2);     // two segment units
    EXPECT_EQ(info[56], 0x14);        // PAL still, no audio
    EXPECT_EQ(info[57], 0x14);

    const auto entries = userData(151);
    EXPECT_EQ(std::string(entries.begin(), entries.begin() + 8), "ENTRYVCD");
    EXPECT_EQ(be16(entries, 10), 1);
    EXPECT_EQ(entries[12], 0x02);

    const auto lot = userData(152);
    EXPECT_EQ(be16(lot, 2), 0);       // LID 1 at the start of the PSD
    EXPECT_EQ(be16(lot, 4), 24 / 8);  // LID 2 after the 24-byte selection list
    EXPECT_EQ(be16(lot, 6), 0xFFFF);

    const auto psd = userData(184);
    EXPECT_EQ(psd[0], 0x18);
    EXPECT_EQ(be16(psd, 18), 1000);   // the menu segment is shown while the list waits
    EXPECT_EQ(be16(psd, 20), 3);      // key 1 leads to the album
    EXPECT_EQ(psd[24], 0x10);
    EXPECT_EQ(be16(psd, 24 + 8), 0);  // return to the page
    EXPECT_EQ(psd[24 + 12], 5);
    EXPECT_EQ(be16(psd, 24 + 14), 1001);
    EXPECT_EQ(be16(psd, 24 + 16), 2);  // the sequence track
}

TEST_F(VideoCdDiscTest, EverySectorCarriesAValidEdcAndForm1Parity) {
    const auto bin = readBytes(dir.file("disc.bin"));
    ASSERT_EQ(bin.size(), static_cast<std::size_t>(total) * 2352);
    for (std::size_t lsn = 0; lsn < static_cast<std::size_t>(total); ++lsn) {
        const std::span<const std::uint8_t> sector(bin.data() + lsn * 2352, 2352);
        const bool form2 = sector[18] & 0x20;
        const std::size_t end = form2 ? 2348 : 2072;
        const std::uint32_t stored = sector[end] | (sector[end + 1] << 8) | (sector[end + 2] << 16) |
                                     (std::uint32_t(sector[end + 3]) << 24);
        ASSERT_EQ(stored, bitwiseEdc(sector.subspan(16, end - 16))) << "sector " << lsn;
        if (!form2) {
            ASSERT_EQ(form1ParityProblem(sector), "") << "sector " << lsn;
        }
    }
}

}  // namespace
}  // namespace tellavine::vcd
