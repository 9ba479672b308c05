// The editor's dialogs driven through their real widgets: album names (unique, letter
// case ignored, the renamed album itself skipped), album properties (play time range and
// its message, music choice), the Add Text dialog (empty text, font mapping, preview) and
// the photo viewer (caption drag arithmetic, the Add Text rules, stepping, rotating).

#include "support/recording_prompt.h"
#include "support/temp_dir.h"
#include "ui/controls/colour_button.h"
#include "ui/controls/image_button.h"
#include "ui/controls/number_spin_edit.h"
#include "ui/dialogs/add_text_dialog.h"
#include "ui/dialogs/album_name_dialog.h"
#include "ui/dialogs/album_properties_dialog.h"
#include "ui/dialogs/caption_drag.h"
#include "ui/dialogs/caption_preview.h"
#include "ui/dialogs/photo_viewer_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace tellavine;
using namespace tellavine::ui;
using tellavine::testing::RecordingServices;

namespace {

constexpr const char* kDuplicateName =
    "An album with the name you specified already exists. Please specify a different name.";
constexpr const char* kPlayTimeRange = "Please enter an integer between 0 and 120.";

// Two albums, "Summer" (with two photos and music) and "Été".
struct TwoAlbums {
    RecordingServices recording;
    Project project;
    TwoAlbums() {
        project.setServices(recording);
        project.addAlbum("Summer");
        project.addSlide(0, "/photos/a.jpg", "a.jpg", 0);
        project.addSlide(0, "/photos/b.jpg", "b.jpg", 0);
        project.album(0).musicPath = "/music/song.mp3";
        project.album(0).playTime = 7;
        project.addAlbum("Été");
    }
};

void pressOk(QDialog& dialog) {
    dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
}

// An album of three photos (landscape, portrait, landscape); the second has a caption.
struct PhotoAlbum {
    testing::TempDir dir;
    RecordingServices recording;
    Project project;
    PhotoAlbum() {
        project.setServices(recording);
        project.addAlbum("Photos");
        const QSize sizes[] = {{640, 480}, {300, 400}, {800, 450}};
        for (int i = 0; i < 3; ++i) {
            QImage photo(sizes[i], QImage::Format_RGB32);
            photo.fill(QColor(60 + 60 * i, 110, 160));
            const std::string path = dir.file("photo" + std::to_string(i) + ".png");
            photo.save(QString::fromStdString(path), "PNG");
            project.addSlide(0, path, "photo" + std::to_string(i) + ".png", 0);
        }
        SlideCaption caption;
        caption.text = "Hello there";
        project.setCaption(slide(1), caption);
        project.setModified(false);
    }
    Slide& slide(int index) { return *project.album(0).slides[static_cast<std::size_t>(index)]; }
};

// A viewer whose picture area is `areaWidth` pixels wide, shown and painted.
bool showViewer(PhotoViewerDialog& viewer, int areaWidth) {
    viewer.resize(areaWidth + 132, 400);
    viewer.show();
    if (!QTest::qWaitForWindowExposed(&viewer)) return false;
    viewer.pictureArea()->repaint();
    return viewer.pictureArea()->width() == areaWidth;
}

// Key presses of a character QTest cannot type (it knows only ASCII keys).
void typeCharacters(QWidget* widget, QChar character, int count) {
    for (int i = 0; i < count; ++i) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(character));
        QApplication::sendEvent(widget, &press);
    }
}

QImage render(QWidget& widget) {
    QImage image(widget.size(), QImage::Format_RGB32);
    widget.render(&image);
    return image;
}

int pixelsOf(const QImage& image, QColor colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) count += image.pixel(x, y) == colour.rgb();
    return count;
}

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT
private slots:
    void albumNameIsUniqueExceptForTheRenamedAlbum_data() {
        QTest::addColumn<int>("excluded");
        QTest::addColumn<QString>("entered");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("own name") << 0 << "Summer" << true;
        QTest::newRow("own name, other letter case") << 0 << "sUMMER" << true;
        QTest::newRow("other album's name, other letter case") << 0 << "ÉTÉ" << false;
        QTest::newRow("new album, an existing name in lower case") << -1 << "summer" << false;
        QTest::newRow("new album, a new name") << -1 << "Winter" << true;
    }
    void albumNameIsUniqueExceptForTheRenamedAlbum() {
        QFETCH(int, excluded);
        QFETCH(QString, entered);
        QFETCH(bool, accepted);
        TwoAlbums fixture;
        AlbumNameDialog dialog(fixture.project, QStringLiteral("Summer"), excluded);
        QCOMPARE(dialog.nameEdit()->text(), QStringLiteral("Summer"));
        dialog.nameEdit()->setText(entered);
        pressOk(dialog);
        QCOMPARE(dialog.result() == QDialog::Accepted, accepted);
        QCOMPARE(fixture.recording->shown(),
                 accepted ? std::vector<std::string>{} : std::vector<std::string>{kDuplicateName});
        if (accepted) QCOMPARE(dialog.name(), entered);
    }

    void refusedNameKeepsTheDialogOpenForAnother() {
        TwoAlbums fixture;
        AlbumNameDialog dialog(fixture.project, QStringLiteral("Summer"), 0);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        dialog.nameEdit()->setText(QStringLiteral("été"));
        pressOk(dialog);
        QVERIFY(dialog.isVisible());
        QCOMPARE(QApplication::focusWidget(), dialog.nameEdit());
        dialog.nameEdit()->setText(QStringLiteral("Autumn"));
        pressOk(dialog);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.name(), QStringLiteral("Autumn"));
    }

    void playTimeMustBeAnIntegerFrom0To120_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("accepted");  // -1: refused with the range message
        QTest::newRow("lowest") << "0" << 0;
        QTest::newRow("highest") << "120" << 120;
        QTest::newRow("spaces around") << " 15 " << 15;
        QTest::newRow("one above") << "121" << -1;
        QTest::newRow("negative") << "-1" << -1;
        QTest::newRow("not a number") << "4s" << -1;
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("beyond 32 bits") << "4294967300" << -1;
    }
    void playTimeMustBeAnIntegerFrom0To120() {
        QFETCH(QString, typed);
        QFETCH(int, accepted);
        TwoAlbums fixture;
        AlbumPropertiesDialog dialog(fixture.project, 0);
        QCOMPARE(dialog.playTimeEdit()->text(), QStringLiteral("7"));
        dialog.playTimeEdit()->lineEdit()->setText(typed);
        pressOk(dialog);
        if (accepted < 0) {
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
            QCOMPARE(fixture.recording->shown(), std::vector<std::string>{kPlayTimeRange});
        } else {
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            QCOMPARE(dialog.playTime(), accepted);
            QVERIFY(fixture.recording->shown().empty());
        }
    }

    void spinArrowsStayInsideTheRange() {
        NumberSpinEdit spin(0, 120);
        spin.setNumber(0);
        spin.stepBy(-1);
        QCOMPARE(spin.number(), std::optional<int>(0));
        spin.setNumber(119);
        spin.stepBy(5);
        QCOMPARE(spin.number(), std::optional<int>(120));
        spin.lineEdit()->setText(QStringLiteral("500"));  // typed out of range
        spin.stepBy(-1);
        QCOMPARE(spin.number(), std::optional<int>(120));
    }

    void propertiesReturnWhatWasEnteredAndCheckTheName() {
        TwoAlbums fixture;
        AlbumPropertiesDialog dialog(fixture.project, 0);
        QCOMPARE(dialog.musicEdit()->text(), QStringLiteral("/music/song.mp3"));
        QVERIFY(dialog.findChild<QLineEdit*>("totalPhotos")->text() == QStringLiteral("Total Photos: 2"));
        dialog.findChild<QPushButton*>("clearMusic")->click();
        QVERIFY(dialog.musicEdit()->text().isEmpty());
        QString offeredFrom = QStringLiteral("(not asked)");
        dialog.chooseMusicFile = [&](const QString& current) {
            offeredFrom = current;
            return QStringLiteral("/music/other.wav");
        };
        dialog.findChild<QPushButton*>("browseMusic")->click();
        QCOMPARE(offeredFrom, QString());
        QCOMPARE(dialog.musicEdit()->text(), QStringLiteral("/music/other.wav"));

        dialog.nameEdit()->setText(QStringLiteral("ÉTÉ"));  // the other album's
        pressOk(dialog);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(fixture.recording->shown(), std::vector<std::string>{kDuplicateName});

        dialog.nameEdit()->setText(QStringLiteral("SUMMER"));  // its own, other case
        dialog.playTimeEdit()->lineEdit()->setText(QStringLiteral("9"));
        pressOk(dialog);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.name(), QStringLiteral("SUMMER"));
        QCOMPARE(dialog.playTime(), 9);
        QCOMPARE(dialog.musicPath(), QStringLiteral("/music/other.wav"));
        QCOMPARE(fixture.project.album(0).name, std::string("Summer"));  // stored only by the caller
    }

    void textsStayWithinWhatTheProjectKeeps() {
        TwoAlbums fixture;
        const std::string stored = "/music/" + std::string(248, 'a') + ".mp3";  // 259 bytes
        fixture.project.album(0).musicPath = stored;
        AlbumPropertiesDialog dialog(fixture.project, 0);
        QCOMPARE(dialog.musicPath().toStdString(), stored);  // opening cuts nothing
        const QString cyrillic = QStringLiteral("/музыка/") + QString(130, QChar(0x0436)) + QStringLiteral(".mp3");
        dialog.chooseMusicFile = [&](const QString&) { return cyrillic; };
        dialog.findChild<QPushButton*>("browseMusic")->click();
        QCOMPARE(dialog.musicPath().toStdString(), stored);
        QCOMPARE(fixture.recording->shown().size(), std::size_t(1));
        QVERIFY(fixture.recording->shown()[0].starts_with("The path of this music file is too long"));

        AddTextDialog text{SlideCaption{}};
        text.show();
        QVERIFY(QTest::qWaitForWindowActive(&text));
        typeCharacters(text.textEdit(), QChar(0x0436), 200);  // two bytes each
        QCOMPARE(text.textEdit()->text().toUtf8().size(), 258);
        AlbumNameDialog name(fixture.project, QString(), -1);
        typeCharacters(name.nameEdit(), QChar(0x4e2d), 200);  // three bytes each
        QCOMPARE(name.nameEdit()->text().toUtf8().size(), 258);
    }

    void addTextRefusesAnEmptyText() {
        RecordingServices recording;
        SlideCaption caption;
        AddTextDialog dialog(caption);
        dialog.setServices(recording);
        pressOk(dialog);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(recording->shown(), std::vector<std::string>{"Please enter some text for the picture(s)."});
        dialog.textEdit()->setText(QStringLiteral("Grandma's 80th"));
        dialog.alignList()->setCurrentIndex(static_cast<int>(CaptionAlign::UserDefined));
        dialog.shadowBox()->setChecked(false);
        pressOk(dialog);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const SlideCaption edited = dialog.caption();
        QCOMPARE(edited.text, std::string("Grandma's 80th"));
        QCOMPARE(edited.align, CaptionAlign::UserDefined);  // as chosen; the caller decides
        QVERIFY(!edited.shadow);
        QCOMPARE(dialog.alignList()->count(), 7);
        QCOMPARE(dialog.alignList()->itemText(4), QStringLiteral("Bottom Center"));
    }

    void fontDialogChoiceBecomesTheLogFont() {
        SlideCaption caption;
        caption.text = "Hi";
        AddTextDialog dialog(caption);
        QFont offered;
        dialog.chooseFont = [&](const QFont& initial) -> std::optional<QFont> {
            offered = initial;
            return initial;  // OK without a change
        };
        dialog.findChild<QPushButton*>("font")->click();
        QCOMPARE(offered.family(), QStringLiteral("Comic Neue"));  // what draws "Comic Sans MS"
        QCOMPARE(offered.pointSizeF(), 12.0);                      // 16 pixels at 96 dpi
        QCOMPARE(offered.weight(), QFont::ExtraBold);
        QVERIFY(dialog.caption().font == caption.font);  // untouched fields stay byte for byte
        QCOMPARE(dialog.caption().pointSize, 120);

        dialog.chooseFont = [](const QFont&) -> std::optional<QFont> {
            QFont chosen(QStringLiteral("Liberation Serif"));
            chosen.setPointSizeF(18);
            chosen.setWeight(QFont::Bold);
            chosen.setItalic(true);
            chosen.setStrikeOut(true);
            return chosen;
        };
        dialog.findChild<QPushButton*>("font")->click();
        const LogFont font = dialog.caption().font;
        QCOMPARE(font.face(), std::string("Liberation Serif"));
        QCOMPARE(font.height, -24);
        QCOMPARE(font.weight, 700);
        QCOMPARE(int(font.italic), 1);
        QCOMPARE(int(font.strikeOut), 1);
        QCOMPARE(int(font.underline), 0);
        QCOMPARE(font.quality, caption.font.quality);
        QCOMPARE(font.pitchAndFamily, caption.font.pitchAndFamily);
        QCOMPARE(dialog.caption().pointSize, 180);

        dialog.chooseFont = [](const QFont&) { return std::optional<QFont>(); };  // Cancel
        dialog.findChild<QPushButton*>("font")->click();
        QVERIFY(dialog.caption().font == font);

        dialog.chooseFont = [](const QFont& initial) -> std::optional<QFont> {
            QFont chosen = initial;
            chosen.setPixelSize(30);  // a font sized in pixels has no point size
            return chosen;
        };
        dialog.findChild<QPushButton*>("font")->click();
        QCOMPARE(dialog.caption().font.height, -30);
        QCOMPARE(dialog.caption().pointSize, 225);
    }

    void previewDrawsTextAndShadowColours() {
        SlideCaption caption;
        caption.text = "MMMM";
        caption.font.height = -40;
        AddTextDialog dialog(caption);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto choose = [](ColourButton* button, const char* swatch) {
            QTest::mouseClick(button, Qt::LeftButton);
            auto* popup = button->findChildren<ColourPopup*>().back();
            QTest::mouseClick(popup->findChild<QWidget*>(swatch), Qt::LeftButton);
        };
        choose(dialog.textColourButton(), "swatch5114");    // red
        choose(dialog.shadowColourButton(), "swatch5117");  // blue
        QCOMPARE(dialog.caption().textColour, makeColourRef(255, 0, 0));
        QCOMPARE(dialog.caption().shadowColour, makeColourRef(0, 0, 255));
        QImage shown = render(*dialog.preview());
        QVERIFY(pixelsOf(shown, Qt::red) > 20);
        QVERIFY(pixelsOf(shown, Qt::blue) > 20);
        dialog.shadowBox()->setChecked(false);
        shown = render(*dialog.preview());
        QVERIFY(pixelsOf(shown, Qt::red) > 20);
        QCOMPARE(pixelsOf(shown, Qt::blue), 0);
    }

    void captionDragTurnsPixelsIntoReferenceUnits_data() {
        QTest::addColumn<int>("areaWidth");
        QTest::addColumn<QList<QPoint>>("path");  // pointer positions after the press at (0, 0)
        QTest::addColumn<QPoint>("units");
        QTest::newRow("100 px right in a 352 px view") << 352 << QList<QPoint>{{40, 0}, {100, 0}} << QPoint(200, 0);
        QTest::newRow("up and left at the frame's own width") << 704 << QList<QPoint>{{-30, -15}} << QPoint(-30, -15);
        QList<QPoint> slow;
        for (int x = 1; x <= 100; ++x) slow << QPoint(x, 0);
        QTest::newRow("slow drag, a pixel a step, in a 1408 px view") << 1408 << slow << QPoint(50, 0);
        QTest::newRow("there and back") << 1000 << QList<QPoint>{{70, 30}, {0, 0}} << QPoint(0, 0);
        QTest::newRow("less than a unit left") << 1000 << QList<QPoint>{{-1, 0}} << QPoint(0, 0);
    }
    void captionDragTurnsPixelsIntoReferenceUnits() {
        QFETCH(int, areaWidth);
        QFETCH(QList<QPoint>, path);
        QFETCH(QPoint, units);
        CaptionDrag drag;
        drag.start({0, 0});
        QPoint total;
        for (const QPoint at : path) total += drag.moveTo(at, areaWidth);
        QCOMPARE(total, units);
    }

    void viewerDragOf100PixelsIn352PixelViewAdds200Units() {
        PhotoAlbum album;
        PhotoViewerDialog viewer(album.project, 0, 1);
        QVERIFY(showViewer(viewer, 352));
        const QRect caption = viewer.captionRect();
        QVERIFY(!caption.isEmpty());
        const Slide& slide = album.slide(1);
        const int x0 = slide.caption.x, y0 = slide.caption.y;  // the anchored position, drawn back
        QVERIFY(x0 > 0 && y0 > 0);
        QVERIFY(!album.project.modified());
        QSignalSpy changed(&viewer, &PhotoViewerDialog::slideChanged);

        QWidget* area = viewer.pictureArea();
        const QPoint from = caption.center();
        QTest::mousePress(area, Qt::LeftButton, {}, from);
        QTest::mouseMove(area, from + QPoint(60, 0));
        QTest::mouseRelease(area, Qt::LeftButton, {}, from + QPoint(100, 0));
        QCOMPARE(slide.caption.x, x0 + 200);
        QCOMPARE(slide.caption.y, y0);
        QCOMPARE(slide.caption.align, CaptionAlign::UserDefined);
        QVERIFY(album.project.modified());
        QCOMPARE(changed.count(), 1);
        viewer.pictureArea()->repaint();
        QCOMPARE(viewer.captionRect(), caption.translated(100, 0));

        // A click without a movement leaves the caption as it is.
        SlideCaption anchored = slide.caption;
        anchored.align = CaptionAlign::TopLeft;
        album.project.setCaption(album.slide(1), anchored);
        album.project.setModified(false);
        viewer.pictureArea()->repaint();
        QTest::mouseClick(area, Qt::LeftButton, {}, viewer.captionRect().center());
        QCOMPARE(slide.caption.align, CaptionAlign::TopLeft);
        QVERIFY(!album.project.modified());
    }

    void userDefinedFromAddTextFollowsHowItWasOpened_data() {
        QTest::addColumn<bool>("byDoubleClick");
        QTest::addColumn<int>("stored");
        QTest::newRow("Add Text check box") << false << int(CaptionAlign::BottomCenter);
        QTest::newRow("double click on the caption") << true << int(CaptionAlign::UserDefined);
    }
    void userDefinedFromAddTextFollowsHowItWasOpened() {
        QFETCH(bool, byDoubleClick);
        QFETCH(int, stored);
        PhotoAlbum album;
        const int index = byDoubleClick ? 1 : 0;  // photo 1 has a caption, photo 0 none
        PhotoViewerDialog viewer(album.project, 0, index);
        QVERIFY(showViewer(viewer, 500));
        QCOMPARE(viewer.addTextBox()->isChecked(), byDoubleClick);
        int asked = 0;
        viewer.editCaption = [&](const SlideCaption& caption) -> std::optional<SlideCaption> {
            ++asked;
            SlideCaption edited = caption;
            edited.text = "Edited";
            edited.align = CaptionAlign::UserDefined;
            return edited;
        };
        QSignalSpy changed(&viewer, &PhotoViewerDialog::slideChanged);
        if (byDoubleClick)
            QTest::mouseDClick(viewer.pictureArea(), Qt::LeftButton, {}, viewer.captionRect().center());
        else
            QTest::mouseClick(viewer.addTextBox(), Qt::LeftButton);
        QCOMPARE(asked, 1);
        const Slide& slide = album.slide(index);
        QVERIFY(slide.hasCaption);
        QCOMPARE(slide.caption.text, std::string("Edited"));
        QCOMPARE(int(slide.caption.align), stored);
        QVERIFY(album.project.modified());
        QVERIFY(changed.count() >= 1);
        QVERIFY(viewer.isVisible());  // a double click on the caption edits, it does not close
    }

    void addTextCheckBoxCancelKeepsCaptionAndUncheckHidesIt() {
        PhotoAlbum album;
        PhotoViewerDialog viewer(album.project, 0, 1);
        viewer.editCaption = [](const SlideCaption&) { return std::optional<SlideCaption>(); };
        QCheckBox* box = viewer.addTextBox();
        box->click();  // off
        QVERIFY(!album.slide(1).hasCaption);
        QCOMPARE(album.slide(1).caption.text, std::string("Hello there"));
        QVERIFY(album.project.modified());
        box->click();  // on, then Cancel in Add Text
        QVERIFY(album.slide(1).hasCaption);
        QCOMPARE(album.slide(1).caption.text, std::string("Hello there"));
    }

    void viewerStepsWithPageKeysAndRotates() {
        PhotoAlbum album;
        PhotoViewerDialog viewer(album.project, 0, 0);
        QVERIFY(showViewer(viewer, 400));
        ImageButton* previous = viewer.commandButton(PhotoViewerDialog::kPrevious);
        ImageButton* next = viewer.commandButton(PhotoViewerDialog::kNext);
        QVERIFY(!previous->isEnabled() && next->isEnabled());
        QTest::keyClick(&viewer, Qt::Key_PageDown);
        QCOMPARE(viewer.currentSlide(), 1);
        QVERIFY(viewer.addTextBox()->isChecked());  // photo 1 has a caption
        QTest::keyClick(&viewer, Qt::Key_PageDown);
        QCOMPARE(viewer.currentSlide(), 2);
        QVERIFY(!viewer.addTextBox()->isChecked() && !next->isEnabled());
        QTest::keyClick(&viewer, Qt::Key_PageDown);  // nothing after the last
        QCOMPARE(viewer.currentSlide(), 2);
        QTest::keyClick(&viewer, Qt::Key_PageUp);
        QCOMPARE(viewer.currentSlide(), 1);

        // Rotating the portrait photo 1 makes it landscape in the area; the editor is told.
        QSignalSpy changed(&viewer, &PhotoViewerDialog::slideChanged);
        const QImage before = render(*viewer.pictureArea());
        QTest::mouseClick(viewer.commandButton(PhotoViewerDialog::kRotateCounterClockwise), Qt::LeftButton);
        QCOMPARE(album.slide(1).rotation, 270);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(1).toInt(), 1);
        const QImage after = render(*viewer.pictureArea());
        // The photo's colour spans more columns of the middle row once it lies on its side.
        const QRgb photo = QColor(120, 110, 160).rgb();
        auto span = [&](const QImage& image) {
            int n = 0;
            for (int x = 0; x < image.width(); ++x) n += image.pixel(x, image.height() / 2) == photo;
            return n;
        };
        QVERIFY2(span(after) > span(before), qPrintable(QStringLiteral("%1 -> %2").arg(span(before)).arg(span(after))));
    }

    void singleModeShowsOnlyThePhoto() {
        PhotoAlbum album;
        PhotoViewerDialog viewer(QString::fromStdString(album.slide(0).path));
        QVERIFY(showViewer(viewer, 400));
        QVERIFY(viewer.singleMode());
        QVERIFY(viewer.commandButton(PhotoViewerDialog::kClose)->isVisible());
        for (auto command : {PhotoViewerDialog::kRotateClockwise, PhotoViewerDialog::kRotateCounterClockwise,
                             PhotoViewerDialog::kPrevious, PhotoViewerDialog::kNext})
            QVERIFY(!viewer.commandButton(command)->isVisible());
        QVERIFY(!viewer.addTextBox()->isVisible());
        QTest::mouseDClick(viewer.pictureArea(), Qt::LeftButton, {}, QPoint(200, 190));  // closes
        QCOMPARE(viewer.result(), int(QDialog::Accepted));
    }

    void fullScreenGivesTheWholeWindowToThePicture() {
        PhotoAlbum album;
        PhotoViewerDialog viewer(album.project, 0, 0);
        QVERIFY(showViewer(viewer, 400));
        const QRect normal = viewer.geometry();
        viewer.findChild<QPushButton*>("fullScreen")->click();
        QVERIFY(viewer.isFullScreenView());
        QTRY_COMPARE(viewer.pictureArea()->geometry(), viewer.rect());
        QVERIFY(!viewer.commandButton(PhotoViewerDialog::kNext)->isVisible());
        auto* bar = viewer.findChild<QWidget*>("fullScreenBar");
        QVERIFY(bar && bar->windowTitle() == QStringLiteral("Full Screen"));
        QTest::keyClick(&viewer, Qt::Key_Escape);  // leaves full screen, does not close
        QVERIFY(!viewer.isFullScreenView() && viewer.isVisible());
        QTRY_COMPARE(viewer.geometry(), normal);
        QVERIFY(viewer.commandButton(PhotoViewerDialog::kNext)->isVisible());
    }

    void picturesFitWholeAndCentred_data() {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QSize>("area");
        QTest::addColumn<QRect>("fitted");
        QTest::newRow("landscape, width-bound") << QSize(800, 400) << QSize(400, 300) << QRect(0, 50, 400, 200);
        QTest::newRow("landscape, too tall at full width") << QSize(800, 600) << QSize(400, 200) << QRect(67, 0, 266, 200);
        QTest::newRow("portrait fills the height") << QSize(300, 400) << QSize(600, 400) << QRect(150, 0, 300, 400);
        QTest::newRow("portrait in a narrow tall area") << QSize(300, 400) << QSize(150, 400) << QRect(0, 100, 150, 200);
    }
    void picturesFitWholeAndCentred() {
        QFETCH(QSize, picture);
        QFETCH(QSize, area);
        QFETCH(QRect, fitted);
        QCOMPARE(fitPictureInto(picture, area), fitted);
    }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
