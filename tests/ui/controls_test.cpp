// The program's own controls: palette recency, gauge, progress text, marquee,
// thumbnail cache, links, status panes, image buttons and masked bitmaps.

#include "support/recording_prompt.h"
#include "support/temp_dir.h"
#include "ui/controls/colour_button.h"
#include "ui/controls/colour_palette.h"
#include "ui/controls/disc_usage_gauge.h"
#include "ui/controls/file_item_info.h"
#include "ui/controls/hyperlink_static.h"
#include "ui/controls/image_button.h"
#include "ui/controls/marquee_static.h"
#include "ui/controls/masked_bitmap.h"
#include "ui/controls/pane_status_bar.h"
#include "ui/controls/shell_folder_tree.h"
#include "ui/controls/text_progress_bar.h"

#include <QDir>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <filesystem>

using namespace tellavine;
using namespace tellavine::ui;

namespace {

QImage render(QWidget& widget) {
    QImage image(widget.size(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    widget.render(&image);
    return image;
}

// Columns of the gauge's bar row holding green and yellow.
std::pair<int, int> barColumns(const QImage& image, int row) {
    int green = 0, yellow = 0;
    for (int x = 0; x < image.width(); ++x) {
        const QRgb pixel = image.pixel(x, row);
        if (pixel == QColor(60, 160, 50).rgb()) ++green;
        if (pixel == QColor(204, 204, 0).rgb()) ++yellow;
    }
    return {green, yellow};
}

}  // namespace

class ControlsTest : public QObject {
    Q_OBJECT
private slots:
    void choosingLeastRecentSwatchAgesAllOthers() {
        ColourPalette palette;
        ColourPalette before = palette;
        palette.choose(5111 - ColourPalette::kFirstSwatchId);
        QCOMPARE(palette.recency(10), 1);
        for (int i = 0; i < ColourPalette::kSize; ++i) {
            if (i != 10) QCOMPARE(palette.recency(i), before.recency(i) + 1);
        }
    }

    void choosingMostRecentSwatchChangesNothingElse() {
        ColourPalette palette;
        const ColourPalette before = palette;
        palette.choose(0);  // 5101, already recency 1
        for (int i = 0; i < ColourPalette::kSize; ++i) QCOMPARE(palette.recency(i), before.recency(i));
        // A middle one: only the more recent colours age.
        palette.choose(5);  // recency 11
        QCOMPARE(palette.recency(5), 1);
        QCOMPARE(palette.recency(0), 2);   // was 1
        QCOMPARE(palette.recency(9), 19);  // was 19, older: unchanged
        QCOMPARE(palette.recency(16), 9);  // was 8
    }

    void otherColourReplacesLeastRecent() {
        ColourPalette palette;
        const ColourPalette before = palette;
        const ColourRef mint = makeColourRef(1, 2, 3);
        const int index = palette.chooseOther(mint);
        QCOMPARE(index, 10);  // 5111 had recency 20
        QCOMPARE(palette.colour(10), mint);
        QCOMPARE(palette.recency(10), 1);
        int unchanged = 0;
        for (int i = 0; i < ColourPalette::kSize; ++i) unchanged += palette.colour(i) == before.colour(i);
        QCOMPARE(unchanged, 19);
        // The next new colour replaces the new least recent one (5110, recency 19 + 1).
        QCOMPARE(palette.chooseOther(makeColourRef(9, 9, 9)), 9);
        // A colour already there is chosen as its swatch; nothing is replaced.
        QCOMPARE(palette.chooseOther(makeColourRef(255, 0, 0)), 13);
        QCOMPARE(palette.colour(9), makeColourRef(9, 9, 9));
    }

    void colourButtonTakesPopupChoice() {
        ColourButton button;
        button.setColour(makeColourRef(255, 255, 0));
        QCOMPARE(button.paletteIndex(), 15);
        QSignalSpy changed(&button, &ColourButton::colourChanged);
        QTest::mouseClick(&button, Qt::LeftButton);
        auto* popup = button.findChild<ColourPopup*>();
        QVERIFY(popup && popup->isVisible());
        popup->askColour = [](const QColor&) { return QColor(10, 20, 30); };
        popup->findChild<QPushButton*>("other")->click();
        QCOMPARE(button.colour(), makeColourRef(10, 20, 30));
        QCOMPARE(ColourPalette::shared().recency(button.paletteIndex()), 1);
        QCOMPARE(changed.count(), 1);
        // A swatch chosen in a new popup.
        QTest::mouseClick(&button, Qt::LeftButton);
        popup = button.findChildren<ColourPopup*>().back();
        QTest::mouseClick(popup->findChild<QWidget*>("swatch5117"), Qt::LeftButton);
        QCOMPARE(button.colour(), makeColourRef(0, 0, 255));
        QCOMPARE(changed.count(), 2);
    }

    void gaugeLabelsByWidth() {
        QCOMPARE(labelledGaugeTicks(300), (std::vector<int>{0, 2, 4, 6, 8}));
        QCOMPARE(labelledGaugeTicks(321), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
        QCOMPARE(labelledGaugeTicks(160), (std::vector<int>{0, 4, 8}));
        QCOMPARE(labelledGaugeTicks(161), (std::vector<int>{0, 2, 4, 6, 8}));
        QCOMPARE(gaugeTickLabel(0), QStringLiteral("0MB"));
        QCOMPARE(gaugeTickLabel(2), QStringLiteral("200"));
        QCOMPARE(gaugeTickLabel(8), QStringLiteral("800"));
    }

    void gaugeYellowStartsAfterSeventyFourMinutes() {
        QCOMPARE(gaugeBars(4440, 480).yellowEnd, gaugeBars(4440, 480).greenEnd);
        const GaugeBars over = gaugeBars(4441, 4800);
        QCOMPARE(over.greenEnd, 4440);
        QCOMPARE(over.yellowEnd, 4441);  // a sliver, though 4441 - 2 would hide it
        QCOMPARE(gaugeBars(4700, 4800).yellowEnd, 4698);
        QCOMPARE(gaugeBars(5000, 480).yellowEnd, gaugeBars(4800, 480).yellowEnd);

        DiscUsageGauge gauge;
        gauge.resize(404, 30);  // a 400-pixel bar inside the edge
        gauge.setSeconds(4440);
        const QImage allGreen = render(gauge);
        QCOMPARE(barColumns(allGreen, 6), std::make_pair(370, 0));
        gauge.setSeconds(4441);
        QCOMPARE(barColumns(render(gauge), 6), std::make_pair(370, 1));  // the first yellow sliver
        gauge.setSeconds(4700);
        const auto [green, yellow] = barColumns(render(gauge), 6);
        QCOMPARE(green, 370);
        QCOMPARE(yellow, 389 - 370);  // 400 x 4700 / 4800 - 2
        gauge.setSeconds(5000);
        QCOMPARE(gauge.seconds(), 4800);
    }

    void progressBarTexts() {
        QCOMPARE(progressBarText(0, 100, 50, {}), std::optional<QString>(QStringLiteral("50%")));
        QCOMPARE(progressBarText(0, 0, 50, {}), std::nullopt);
        QCOMPARE(progressBarText(10, 20, 13, {}), std::optional<QString>(QStringLiteral("30%")));
        QCOMPARE(progressBarText(0, 100, 50, QStringLiteral("Please Wait...")),
                 std::optional<QString>(QStringLiteral("Please Wait...")));

        TextProgressBar bar;
        bar.resize(200, 20);
        QCOMPARE(bar.setPosition(50), 0);
        QCOMPARE(bar.setPosition(60), 50);
        QCOMPARE(bar.shownText(), std::optional<QString>(QStringLiteral("60%")));
        // Lower = upper: nothing is drawn, the widget's own background stays.
        bar.setRange(5, 5);
        const QImage empty = render(bar);
        QCOMPARE(empty.pixel(100, 10), QColor(Qt::magenta).rgb());
        bar.setRange(0, 100);
        bar.setPosition(50);
        const QImage half = render(bar);
        QCOMPARE(half.pixel(2, 2), QColor(100, 130, 210).rgb());
        QCOMPARE(half.pixel(197, 2), QColor(220, 240, 230).rgb());
    }

    void marqueeScrollsOnlyLongTexts() {
        MarqueeStatic marquee;
        marquee.resize(120, 20);
        marquee.setText(QString(27, 'x'));
        QVERIFY(!marquee.scrolling());
        marquee.setText(QString(28, 'x'));
        QVERIFY(marquee.scrolling());
        QCOMPARE(marquee.offset(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(marquee.offset() > 0, 2000);
        QTest::mouseDClick(&marquee, Qt::LeftButton);
        QVERIFY(!marquee.scrolling());
        QTest::mouseDClick(&marquee, Qt::LeftButton, Qt::ControlModifier);
        QCOMPARE(marquee.step(), 5);
        QCOMPARE(nextMarqueeStep(19), 1);
        QCOMPARE(nextMarqueeStep(18), 20);
        QCOMPARE(nextMarqueeOffset(97, 3, 100, 120), -120);
        QCOMPARE(nextMarqueeOffset(96, 3, 100, 120), 99);
    }

    void hyperlinkExplainsMissingFile() {
        auto prompt = std::make_shared<testing::RecordingPrompt>();
        testing::TempDir dir;
        HyperlinkStatic link(QStringLiteral("Manual"));
        link.setPrompt(prompt);
        link.setTarget(QString::fromStdString(dir.file("missing.htm")));
        QVERIFY(!link.follow());
        QVERIFY(!link.visited());
        QCOMPARE(prompt->shown().back(), std::string("Unable to open hyperlink:\n\nThe specified file was not found."));
        QCOMPARE(openLinkTarget(QString::fromStdString(dir.file("no/such/folder/x.htm"))), int(kLinkPathNotFound));
        QCOMPARE(linkFailureReason(31),
                 QStringLiteral("There is no application associated\nwith the given filename extension."));
        QCOMPARE(linkFailureReason(99), QStringLiteral("Unknown Error (99) occurred."));
        QCOMPARE(link.toolTip(), link.target());
    }

    void statusBarPanesHostOneControlEach() {
        PaneStatusBar bar;
        bar.resize(600, 25);
        bar.show();
        bar.setPanes({{1, -1, true, {}}, {2, 180, true, {}}, {3, 200, false, {}}});
        auto* first = new QLabel;
        QVERIFY(bar.addPaneControl(first, 1, true));
        QVERIFY(!bar.addPaneControl(new QLabel(&bar), 1, true));  // taken
        QVERIFY(!bar.addPaneControl(new QLabel(&bar), 7, true));  // no such pane
        auto* third = new QLabel;
        QVERIFY(bar.addPaneControl(third, 3, true));
        QCOMPARE(bar.paneRect(2).width(), 180);
        QCOMPARE(first->geometry(), bar.paneRect(1).adjusted(2, 2, -2, -2));
        QCOMPARE(third->geometry(), bar.paneRect(3));  // no border: the whole pane
        bar.resize(800, 25);
        QCOMPARE(first->geometry(), bar.paneRect(1).adjusted(2, 2, -2, -2));
    }

    void statusBarTextPanesFitTheirTextAndElideInTheMiddleWhenNarrow() {
        PaneStatusBar bar;
        bar.resize(1000, 25);
        bar.show();
        const QString device = QStringLiteral("Device: TELLAVIN  EMULATED CD-RW");
        bar.setPanes({{1, kPaneTakesRest, false, {}}, {2, kPaneFitsText, true, {}}, {3, kPaneFitsText, true, {}}});
        bar.setPaneText(2, QStringLiteral("Total : 12 Albums, 1234 Photos"));
        bar.setPaneText(3, device);
        auto* gauge = new QLabel;
        QVERIFY(bar.addPaneControl(gauge, 1, true));
        for (int pane : {2, 3}) {
            QCOMPARE(bar.paneDisplayText(pane), bar.paneText(pane));  // whole: wide enough
            QVERIFY(bar.paneRect(pane).width() > bar.fontMetrics().horizontalAdvance(bar.paneText(pane)));
        }
        QCOMPARE(bar.paneRect(3).right(), bar.width() - 1);  // the panes fill the bar
        QCOMPARE(gauge->geometry(), bar.paneRect(1));  // the gauge follows the text panes

        bar.resize(320, 25);  // narrower than the texts: they give way, the gauge keeps room
        QVERIFY(bar.paneRect(1).width() >= 120);
        const QString shown = bar.paneDisplayText(3);
        QVERIFY(shown != device);
        QVERIFY(shown.startsWith(QStringLiteral("Dev")) && shown.endsWith(QStringLiteral("RW")));  // middle elided
        QCOMPARE(gauge->geometry(), bar.paneRect(1));
    }

    void gaugeLabelsStandClearOfTicks() {
        DiscUsageGauge gauge;
        for (int width = 60; width <= 900; width += 7) {
            const QRect inner(2, 2, width, 21);
            const QFontMetrics metrics(gaugeFont(gauge.font(), inner.height()));
            const GaugeRuler ruler = gaugeRuler(inner, metrics);
            QVERIFY2(ruler.labels.size() >= 2, qPrintable(QString::number(width)));  // 0MB and 800 at least
            for (std::size_t i = 0; i < ruler.labels.size(); ++i) {
                const QRect box = ruler.labels[i].second;
                QVERIFY(inner.contains(box));
                for (const auto* ticks : {&ruler.majorTicks, &ruler.minorTicks}) {
                    for (int x : *ticks) QVERIFY2(x < box.left() - 1 || x > box.right() + 1, qPrintable(QString::number(width)));
                }
                if (i > 0) QVERIFY(ruler.labels[i - 1].second.right() + 2 < box.left());
            }
        }
        // The labels are drawn in the application's font family.
        QCOMPARE(gaugeFont(gauge.font(), 21).family(), gauge.font().family());
    }

    void imageButtonShowsItsQuarter() {
        QCOMPARE(imageButtonState(false, true, true), ImageButtonState::Disabled);
        QCOMPARE(imageButtonState(true, true, true), ImageButtonState::Pressed);
        QCOMPARE(imageButtonState(true, false, true), ImageButtonState::Hovered);
        QCOMPARE(imageButtonState(true, false, false), ImageButtonState::Normal);

        QPixmap strip(40, 10);
        QPainter painter(&strip);
        const QColor quarters[] = {Qt::red, Qt::green, Qt::blue, Qt::gray};
        for (int i = 0; i < 4; ++i) painter.fillRect(i * 10, 0, 10, 10, quarters[i]);
        painter.end();
        ImageButton button;
        ImageButtonDescriptor descriptor{3, 4, 40, 10, 1, strip, 0, 38005};
        QVERIFY(button.create(descriptor));
        QCOMPARE(button.size(), QSize(10, 10));
        QCOMPARE(button.pos(), QPoint(3, 4));
        QCOMPARE(render(button).pixel(5, 5), QColor(Qt::red).rgb());
        button.setDown(true);
        QCOMPARE(render(button).pixel(5, 5), QColor(Qt::green).rgb());
        button.setEnabled(false);
        QCOMPARE(render(button).pixel(5, 5), QColor(Qt::gray).rgb());
        QVERIFY(!ImageButton().create(ImageButtonDescriptor{}));
    }

    void maskedBitmapKeepsKeyColourPixels() {
        QImage picture(2, 1, QImage::Format_RGB32);
        picture.setPixel(0, 0, qRgb(255, 0, 0));
        picture.setPixel(1, 0, qRgb(0, 0, 255));
        MaskedBitmap bitmap;
        QVERIFY(bitmap.setImage(picture));
        QVERIFY(bitmap.transparentAt(0, 0));
        QVERIFY(!bitmap.transparentAt(1, 0));
        QImage target(2, 1, QImage::Format_RGB32);
        target.fill(Qt::white);
        QPainter masked(&target);
        bitmap.drawMasked(masked, 0, 0, 2, 1, 0, 0);
        masked.end();
        QCOMPARE(target.pixel(0, 0), qRgb(255, 255, 255));
        QCOMPARE(target.pixel(1, 0), qRgb(0, 0, 255));
        QPainter opaque(&target);
        bitmap.draw(opaque, 0, 0, 2, 1, 0, 0);
        opaque.end();
        QCOMPARE(target.pixel(0, 0), qRgb(255, 0, 0));
        QVERIFY(!bitmap.loadFile(QStringLiteral("/no/such/picture.bmp")));
    }

    void folderTreeExpandsLazily() {
        testing::TempDir dir;
        std::filesystem::create_directories(dir.path() / "Albums" / "Summer");
        std::filesystem::create_directories(dir.path() / "Empty");
        ShellFolderTree tree;
        tree.fill();
        QVERIFY(tree.topLevelItemCount() >= 2);
        QCOMPARE(*tree.selectedPath(), QDir::homePath());
        QVERIFY(tree.selectPath(QString::fromStdString((dir.path() / "Albums" / "Summer").string())));
        QCOMPARE(*tree.selectedPath(), QString::fromStdString((dir.path() / "Albums" / "Summer").string()));
        QTreeWidgetItem* albums = tree.currentItem()->parent();
        QCOMPARE(albums->text(0), QStringLiteral("Albums"));
        QCOMPARE(albums->parent()->childCount(), 2);  // Albums and Empty, read on expansion
        QVERIFY(!tree.selectPath(QStringLiteral("/no/such/folder/anywhere")));
    }

    void fileRecordsSplitPaths() {
        const FileItemInfo info(QStringLiteral("/home/ann/Photos/beach.day.JPG"));
        QCOMPARE(info.directory, QStringLiteral("/home/ann/Photos/"));
        QCOMPARE(info.name, QStringLiteral("beach.day"));
        QCOMPARE(info.extension, QStringLiteral(".JPG"));
        QCOMPARE(info.drive, QStringLiteral("/"));
        QVERIFY(!info.exists());
        QVERIFY(FileItemInfo(QStringLiteral("/")).exists());
        QVERIFY(!info.typeText().isEmpty());
    }
};

QTEST_MAIN(ControlsTest)
#include "controls_test.moc"
