// The rules behind the burn page's checks, without windows.

#include "project/build_job.h"
#include "ui/pages/burn_checks.h"
#include "ui/pages/recorder_access.h"

#include <QTest>

using namespace tellavine;
using namespace tellavine::ui;

class RulesTest : public QObject {
    Q_OBJECT
private slots:
    void imagePathChecks() {
        QCOMPARE(checkImagePath("").message, std::string("Please input the image file name."));
        const auto bin = checkImagePath("/tmp/out/disc.bin");
        QVERIFY(!bin.accepted);
        QCOMPARE(bin.message, std::string("The image file name is invalid, it must have a .cue extension."));
        const auto upper = checkImagePath("/tmp/Out/Disc.CUE");
        QVERIFY(upper.accepted);
        QCOMPARE(upper.cuePath, std::string("/tmp/Out/Disc.CUE"));
        QCOMPARE(upper.binPath, std::string("/tmp/Out/Disc.bin"));
        // Only the file's extension changes, never a folder that contains ".cue".
        QCOMPARE(checkImagePath("/d/a.cue.dir/x.cue").binPath, std::string("/d/a.cue.dir/x.bin"));
        QVERIFY(!checkImagePath(".cue").accepted);
        QVERIFY(discTooSmall(1000, 851));
        QVERIFY(!discTooSmall(1000, 850));
    }

    void recorderTexts() {
        const RecorderDevice device{"TELLAV", "Emulated CD-RW", 1, 2, 0};
        QCOMPARE(device.listText(), std::string("TELLAVEmulated CD-RW(1:2:0)"));
        QCOMPARE(device.paneText(), std::string("Device: TELLAV  Emulated CD-RW"));
    }
};

QTEST_GUILESS_MAIN(RulesTest)
#include "rules_test.moc"
