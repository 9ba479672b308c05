// The ISO track of an authored image, read back by independent readers: isoinfo and
// pycdlib over the Form 1 user data, cd-info over the CUE/BIN pair.

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
using tellavine::testing::writeFile;
using namespace testing;
using tellavine::testing::runShell;
using tellavine::testing::shellQuoted;
using tellavine::testing::RecordingReceiver;

class IsoImageTest : public ::testing::Test {
protected:
    void SetUp() override {
        owner.window.attach(receiver);
        writeFile(dir.file("a.jpg"), std::string(5000, 'a'));
        writeFile(dir.file("song.mp3"), std::string(2048, 's'));
        writeFile(dir.file("empty.txt"), "");
        auto object = createAuthoringObject(3);
        object->setTextParameter(TextParameter::VolumeId, "HOLIDAY");
        object->setTextParameter(TextParameter::PublisherId, "Tellavine");
        ASSERT_EQ(object->addCustomFile("Photo Files/Album/a.jpg", openFileDataSource(dir.file("a.jpg")), false), 0);
        ASSERT_EQ(object->addCustomFile("Music/song.mp3", openFileDataSource(dir.file("song.mp3")), false), 0);
        ASSERT_EQ(object->addCustomFile("empty.txt", openFileDataSource(dir.file("empty.txt")), false), 0);
        total = object->beginOutput();
        ASSERT_GT(total, 0) << object->failureReason();
        auto sink = createImageSink(dir.file("disc.cue"), dir.file("disc.bin"), owner);
        ASSERT_EQ(object->writeImage(sink.get(), {}, owner), kWriteComplete) << object->failureReason();
        object->endOutput();
    }

    TempDir dir;
    SinkOwner owner;
    std::shared_ptr<RecordingReceiver> receiver = std::make_shared<RecordingReceiver>();
    std::int64_t total = 0;
};

TEST_F(IsoImageTest, ImageHasTheExpectedSizeSectorsAndMessages) {
    EXPECT_EQ(total, 300 + 150);  // minimum ISO track and the lead-out pregap
    EXPECT_EQ(std::filesystem::file_size(dir.file("disc.bin")), 450u * 2352);
    EXPECT_EQ(receiver->count(WM_IMAGE_SECTOR), 450u);
    EXPECT_EQ(receiver->numbers().back(), WM_IMAGE_DONE);
    const auto pvd = readSector(dir.file("disc.bin"), 16);
    EXPECT_EQ(pvd[18], 0x09);  // submode: data + end of record
    EXPECT_EQ(form1ParityProblem(pvd), "");
    const auto last = readSector(dir.file("disc.bin"), 299);
    EXPECT_EQ(last[18], 0x08);
    EXPECT_EQ(last[16], 0);
    EXPECT_EQ(form1ParityProblem(last), "");
    const auto firstFile = readSector(dir.file("disc.bin"), 225);
    EXPECT_EQ(firstFile[16], 1);     // custom files have file number 1
    EXPECT_EQ(firstFile[24], 'a');
    const auto lastOfPhoto = readSector(dir.file("disc.bin"), 227);
    EXPECT_EQ(lastOfPhoto[18], 0x88);
    EXPECT_EQ(lastOfPhoto[24 + 5000 - 4096 - 1], 'a');
    EXPECT_EQ(lastOfPhoto[24 + 5000 - 4096], 0);
    const auto leadOut = readSector(dir.file("disc.bin"), 449);
    EXPECT_EQ(leadOut[18], 0x20);
}

TEST_F(IsoImageTest, IsoinfoListsTheTree) {
    ASSERT_TRUE(extractForm1UserData(dir.file("disc.bin"), 0, 300, dir.file("track.iso")));
    auto info = runShell("isoinfo -d -i " + shellQuoted(dir.file("track.iso")));
    ASSERT_EQ(info.exitStatus, 0) << info.output;
    EXPECT_NE(info.output.find("Volume id: HOLIDAY"), std::string::npos) << info.output;
    EXPECT_NE(info.output.find("Volume size is: 300"), std::string::npos) << info.output;
    info = runShell("isoinfo -l -i " + shellQuoted(dir.file("track.iso")));
    ASSERT_EQ(info.exitStatus, 0) << info.output;
    EXPECT_NE(info.output.find("Directory listing of /PHOTO FILES/ALBUM/"), std::string::npos) << info.output;
    EXPECT_NE(info.output.find("5000 Jul 14 1978 [    225 00]  A.JPG;1"), std::string::npos) << info.output;
    EXPECT_NE(info.output.find("INFO.VCD;1"), std::string::npos);
    EXPECT_NE(info.output.find("EMPTY.TXT;1"), std::string::npos);
}

TEST_F(IsoImageTest, PycdlibWalksTheSameTree) {
    ASSERT_TRUE(extractForm1UserData(dir.file("disc.bin"), 0, 300, dir.file("track.iso")));
    const std::string script =
        "import pycdlib,sys\n"
        "iso=pycdlib.PyCdlib(); iso.open(sys.argv[1])\n"
        "for root,dirs,files in iso.walk(iso_path='/'):\n"
        "    for f in files: print(root.rstrip('/')+'/'+f)\n"
        "rec=iso.get_record(iso_path='/PHOTO FILES/ALBUM/A.JPG;1')\n"
        "print('extent',rec.extent_location(),'size',rec.get_data_length())\n";
    writeFile(dir.file("walk.py"), script);
    const auto walk = runShell("/usr/bin/python3 " + shellQuoted(dir.file("walk.py")) + " " + shellQuoted(dir.file("track.iso")));
    ASSERT_EQ(walk.exitStatus, 0) << walk.output;
    EXPECT_NE(walk.output.find("/PHOTO FILES/ALBUM/A.JPG;1"), std::string::npos) << walk.output;
    EXPECT_NE(walk.output.find("/MUSIC/SONG.MP3;1"), std::string::npos) << walk.output;
    EXPECT_NE(walk.output.find("/VCD/ENTRIES.VCD;1"), std::string::npos) << walk.output;
    EXPECT_NE(walk.output.find("extent 225 size 5000"), std::string::npos) << walk.output;
}

TEST_F(IsoImageTest, CdInfoReadsTheCueSheetAndFileSystem) {
    const auto info = runShell("cd-info --no-device-info --no-disc-mode --cue-file " + shellQuoted(dir.file("disc.cue")));
    EXPECT_NE(info.output.find("CD-ROM with CD-RTOS and ISO 9660 filesystem"), std::string::npos) << info.output;
    EXPECT_NE(info.output.find("XA sectors"), std::string::npos) << info.output;
    EXPECT_NE(info.output.find("HOLIDAY"), std::string::npos) << info.output;
}

}  // namespace
}  // namespace tellavine::vcd
