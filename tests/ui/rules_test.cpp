// The rules behind the burn page's recorder texts, without windows.

#include "project/build_job.h"
#include "ui/pages/recorder_access.h"

#include <QTest>

using namespace tellavine;
using namespace tellavine::ui;

class RulesTest : public QObject {
    Q_OBJECT
private slots:
    void recorderTexts() {
        // Inquiry data pads vendor (8) and product (16) with spaces.
        const RecorderDevice device{"TELLAV  ", "Emulated CD-RW  ", 1, 2, 0};
        QCOMPARE(device.listText(), std::string("TELLAV Emulated CD-RW (1:2:0)"));
        QCOMPARE(device.paneText(), std::string("Device: TELLAV  Emulated CD-RW"));
    }
};

QTEST_GUILESS_MAIN(RulesTest)
#include "rules_test.moc"
