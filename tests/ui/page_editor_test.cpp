// The album editor page driven through its real widgets: the browser's file filter and
// sorting, adding pictures from every source, the album and photo operations with their
// messages and limits, drag and drop, thumbnails, music and the date sort.

#include "platform/folders.h"
#include "support/exif_jpeg.h"
#include "support/recording_prompt.h"
#include "support/temp_dir.h"
#include "test_folders.h"
#include "when_modal.h"
#include "ui/dialogs/album_name_dialog.h"
#include "ui/controls/image_button.h"
#include "ui/controls/shell_folder_tree.h"
#include "ui/pages/editor_album_list.h"
#include "ui/pages/editor_file_browser.h"
#include "ui/pages/editor_photo_list.h"
#include "ui/pages/page_editor.h"
#include "ui/pages/thumbnail_loader.h"

#include <QAbstractItemView>
#include <QAction>
#include <QDir>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QMimeData>
#include <QSignalSpy>
#include <QSplitter>
#include <QTest>
#include <QTreeView>
#include <QUrl>

#include <algorithm>
#include <filesystem>

using namespace tellavine;
using namespace tellavine::ui;
using tellavine::testing::RecordingPrompt;

namespace {

constexpr const char* kMaxPhotos = "Max. 1980 photos for each album.";

void writePhoto(const std::string& path, int width, int height, QColor colour = QColor(90, 140, 200)) {
    QImage photo(width, height, QImage::Format_RGB32);
    photo.fill(colour);
    photo.save(QString::fromStdString(path), "JPG");
}

// A page on its own project, with dialogs that answer from the test.
struct EditorFixture {
    explicit EditorFixture(const std::string& folder = {}) {
        prompt = std::make_shared<RecordingPrompt>();
        services.prompt = prompt;
        project.setServices(services);
        page = std::make_unique<CPageEditor>(EditorPageServices{&project, &settings, services});
        page->askAlbumName = [this](const QString& proposed, int) -> std::optional<QString> {
            proposedNames << proposed;
            if (albumNames.isEmpty()) return std::nullopt;
            return albumNames.takeFirst();
        };
        page->resize(1000, 700);
        page->show();
        if (!folder.empty()) browse(folder);
    }
    void browse(const std::string& folder) {
        // The folder is listed and its thumbnails made in the background.
        page->browseFolder(QString::fromStdString(folder));
        QTRY_VERIFY_WITH_TIMEOUT(!page->fileBrowser()->busy(), 10000);
    }
    // Lets the photo loader finish and its results arrive.
    void settle() {
        QVERIFY(page->photoLoader()->waitUntilIdle(std::chrono::seconds(10)));
        QCoreApplication::processEvents();
    }
    std::vector<std::string> names(int album) const {
        std::vector<std::string> out;
        for (const auto& slide : project.album(album).slides) out.push_back(slide->displayName);
        return out;
    }
    long timesTold(const std::string& text) const {
        const auto all = prompt->shown();
        return std::count(all.begin(), all.end(), text);
    }
    bool told(const std::string& text) const {
        const auto all = prompt->shown();
        return std::find(all.begin(), all.end(), text) != all.end();
    }

    std::shared_ptr<RecordingPrompt> prompt;
    EngineServices services;
    Project project;
    AppSettings settings;
    QStringList albumNames;     // what the Album Name dialog answers, in turn
    QStringList proposedNames;  // what it was opened with
    std::unique_ptr<CPageEditor> page;
};

// A drag that enters `target` (which makes it the drag's target), moves to `at` and,
// with `drop`, ends there. Returns whether the move was accepted.
bool dragTo(QWidget* target, QPoint at, const QMimeData* data, Qt::DropAction action, bool drop = true) {
    QDragEnterEvent enter(at, action, data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) return false;
    QDragMoveEvent move(at, action, data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(target, &move);
    if (!move.isAccepted()) return false;
    if (drop) {
        QDropEvent release(at, action, data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(target, &release);
    }
    return true;
}

QStringList listed(const PictureFileBrowser& browser) {
    QStringList names;
    for (const QString& path : browser.allPaths()) names << QFileInfo(path).fileName();
    return names;
}

}  // namespace

class PageEditorTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<testing::TempDir> dir_;
    std::string photos_;  // five photos "p1.jpg" .. "p5.jpg" in a folder "Holiday"

    std::string folder(const std::string& name) {
        const std::string path = dir_->file(name);
        std::filesystem::create_directories(path);
        return path;
    }

private slots:
    void initTestCase() {
        dir_ = std::make_unique<testing::TempDir>();
        testing::useTestFolders(*dir_);
        photos_ = folder("Holiday");
        for (int i = 1; i <= 5; ++i) writePhoto(photos_ + "/p" + std::to_string(i) + ".jpg", 64 + i, 48);
    }

    void fileListShowsWhatTheReadersTakeAndSortsByColumn() {
        const std::string mixed = folder("Mixed");
        writePhoto(mixed + "/a.JPEG", 40, 30);
        writePhoto(mixed + "/c.Tif", 400, 300);  // the largest file
        QImage(8, 8, QImage::Format_RGB32).save(QString::fromStdString(mixed + "/b.gif"), "GIF");
        testing::writeFile(mixed + "/b.gif", testing::readFile(mixed + "/b.gif"));
        testing::writeFile(mixed + "/notes.txt", "not a picture");
        testing::writeFile(mixed + "/drawing.wmf", "no reader for metafiles");
        EditorFixture editor(mixed);
        PictureFileBrowser& browser = *editor.page->fileBrowser();
        QCOMPARE(listed(browser), (QStringList{"a.JPEG", "b.gif", "c.Tif"}));

        // A header click sorts by that column, a second click on it reverses the order.
        browser.setListStyle(FileListStyle::Details);
        auto* details = qobject_cast<QTreeView*>(browser.view());
        QVERIFY(details);
        QHeaderView* header = details->header();
        const QPoint sizeHeader(header->sectionViewportPosition(kSizeColumn) + 10, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, sizeHeader);
        const QStringList first = listed(browser);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, sizeHeader);
        const QStringList second = listed(browser);
        QCOMPARE(second, QStringList(first.rbegin(), first.rend()));
        QVERIFY(first.front() == "c.Tif" || first.back() == "c.Tif");
        // Names are compared without regard to letter case.
        browser.sortBy(kNameColumn, Qt::AscendingOrder);
        QCOMPARE(listed(browser), (QStringList{"a.JPEG", "b.gif", "c.Tif"}));
        // The selection stays with its file when the order changes.
        browser.view()->selectionModel()->select(browser.view()->model()->index(2, kNameColumn),
                                                 QItemSelectionModel::Select | QItemSelectionModel::Rows);
        browser.sortBy(kNameColumn, Qt::DescendingOrder);
        QCOMPARE(browser.selectedPaths(), QStringList{QString::fromStdString(mixed + "/c.Tif")});
    }

    void fileListThumbnailsLandOnTheirOwnRowsAndShareOneSquare() {
        // Upright and landscape photos of distinct colours; the list is re-sorted as soon
        // as it is filled, before any thumbnail has reached it.
        const std::string coloured = folder("Coloured");
        const std::pair<const char*, QColor> photos[] = {
            {"a.jpg", QColor(220, 30, 30)}, {"b.jpg", QColor(30, 200, 40)}, {"c.jpg", QColor(40, 60, 220)}};
        writePhoto(coloured + "/a.jpg", 300, 400, photos[0].second);  // upright
        writePhoto(coloured + "/b.jpg", 400, 300, photos[1].second);
        writePhoto(coloured + "/c.jpg", 400, 100, photos[2].second);  // a panorama
        EditorFixture editor;
        PictureFileBrowser& browser = *editor.page->fileBrowser();
        connect(&browser, &PictureFileBrowser::folderListed, &browser,
                [&browser] { browser.sortBy(kNameColumn, Qt::DescendingOrder); });
        editor.browse(coloured);
        QCOMPARE(listed(browser), (QStringList{"c.jpg", "b.jpg", "a.jpg"}));
        QAbstractItemView* view = browser.view();
        for (int row = 0; row < 3; ++row) {
            const QModelIndex index = view->model()->index(row, kNameColumn);
            auto icon = [&] {
                return index.data(Qt::DecorationRole).value<QIcon>().pixmap(kFileIconBox, kFileIconBox).toImage();
            };
            // Every icon is the full square, so every label sits at the same height.
            QCOMPARE(icon().size(), QSize(kFileIconBox, kFileIconBox));
            const QColor expected = photos[2 - row].second;
            auto near = [&] {
                const QColor centre = icon().pixelColor(kFileIconBox / 2, kFileIconBox / 2);
                return std::abs(centre.red() - expected.red()) < 24 && std::abs(centre.green() - expected.green()) < 24 &&
                       std::abs(centre.blue() - expected.blue()) < 24;
            };
            // On a busy machine the last thumbnails may still be on their way.
            QTRY_VERIFY2_WITH_TIMEOUT(near(), qPrintable(listed(browser)[row] + " shows " +
                                                         icon().pixelColor(kFileIconBox / 2, kFileIconBox / 2).name()),
                                      10000);
            QCOMPARE(view->visualRect(index).size(), view->visualRect(view->model()->index(0, kNameColumn)).size());
        }
    }

    void aFolderChosenWhileAnotherIsListedShowsOnlyItsOwnFiles() {
        EditorFixture editor;
        PictureFileBrowser& browser = *editor.page->fileBrowser();
        const std::string mixed = folder("Mixed");
        browser.setFolder(QString::fromStdString(mixed));
        editor.browse(photos_);
        QCOMPARE(listed(browser), (QStringList{"p1.jpg", "p2.jpg", "p3.jpg", "p4.jpg", "p5.jpg"}));
    }

    void addingFromTheBrowserNamesTheFirstAlbumAfterTheFolder() {
        EditorFixture editor(photos_);
        QTRY_COMPARE(editor.page->fileBrowser()->count(), 5);
        editor.page->addAllFiles();
        QCOMPARE(editor.project.albumCount(), 1);
        QCOMPARE(editor.project.album(0).name, std::string("Holiday"));
        QCOMPARE(editor.names(0), (std::vector<std::string>{"p1.jpg", "p2.jpg", "p3.jpg", "p4.jpg", "p5.jpg"}));
        QVERIFY(editor.project.modified());
        QCOMPARE(editor.page->albumList()->selectedAlbum(), 0);
        QCOMPARE(editor.page->photoList()->model()->rowCount(), 5);
        QCOMPARE(editor.page->photoList()->model()->index(4, 0).data().toString(), QStringLiteral("05"));

        // Thumbnails arrive from the loader, fitted into 104 x 78.
        editor.settle();
        const QPixmap thumbnail = editor.page->slideThumbnail(*editor.project.album(0).slides[0]);
        QCOMPARE(thumbnail.size(), QSize(104, 76));
    }

    void addPicturesOnAnEmptyProjectMakesNewSlide() {
        EditorFixture editor;
        const QString p2 = QString::fromStdString(photos_ + "/p2.jpg");
        const QString p1 = QString::fromStdString(photos_ + "/p1.jpg");
        editor.page->choosePictureFiles = [&] { return QStringList{p2, p1}; };
        editor.page->addPicturesWithDialog();
        QCOMPARE(editor.project.albumCount(), 1);
        QCOMPARE(editor.project.album(0).name, std::string("New Slide"));
        QCOMPARE(editor.names(0), (std::vector<std::string>{"p2.jpg", "p1.jpg"}));
        QCOMPARE(editor.project.album(0).slides[0]->path, p2.toStdString());
        editor.page->choosePictureFiles = [] { return QStringList(); };  // Cancel adds nothing
        editor.page->addPicturesWithDialog();
        QCOMPARE(editor.project.album(0).slides.size(), std::size_t(2));
    }

    void droppingFilesAndFoldersFromAnotherProgram() {
        const std::string dropped = folder("Dropped");
        for (const char* name : {"b10.jpg", "b2.jpg", "A1.jpg"}) writePhoto(dropped + "/" + name, 32, 24);
        testing::writeFile(dropped + "/readme.txt", "x");
        EditorFixture editor;
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QString::fromStdString(dropped)),
                      QUrl::fromLocalFile(QString::fromStdString(photos_ + "/p3.jpg")),
                      QUrl::fromLocalFile(QString::fromStdString(dropped + "/readme.txt"))});
        QVERIFY(dragTo(editor.page.get(), editor.page->albumList()->geometry().center(), &data, Qt::CopyAction));
        QCOMPARE(editor.project.albumCount(), 1);
        QCOMPARE(editor.project.album(0).name, std::string("New Slide"));
        // The folder's pictures in name order, then the file.
        QCOMPARE(editor.names(0), (std::vector<std::string>{"A1.jpg", "b2.jpg", "b10.jpg", "p3.jpg"}));

        // Files dropped on the photo list from the page's own browser are added too.
        editor.browse(photos_);
        editor.page->fileBrowser()->view()->selectionModel()->select(
            editor.page->fileBrowser()->view()->model()->index(0, 0), QItemSelectionModel::Select);
        std::unique_ptr<QMimeData> fromBrowser(editor.page->fileBrowser()->view()->model()->mimeData(
            editor.page->fileBrowser()->view()->selectionModel()->selectedIndexes()));
        QVERIFY(fromBrowser->hasFormat(QString::fromLatin1(kBrowserDragFormat)));
        QVERIFY(dragTo(editor.page->photoList()->viewport(), QPoint(20, 20), fromBrowser.get(), Qt::CopyAction));
        QCOMPARE(editor.names(0).back(), std::string("p1.jpg"));
        QCOMPARE(editor.project.album(0).slides.size(), std::size_t(5));
    }

    void dragReorder_data() {
        QTest::addColumn<QList<int>>("moving");
        QTest::addColumn<int>("ontoRow");  // -1: the empty space below the last photo
        QTest::addColumn<bool>("justAbove");  // 5 pixels above the photo, one photo a row
        QTest::addColumn<QString>("expected");
        QTest::newRow("last two to the empty space") << QList<int>{3, 4} << -1 << false << "12345";
        QTest::newRow("photo 1 onto photo 4") << QList<int>{0} << 3 << false << "23415";
        QTest::newRow("photos 2 and 4 onto photo 1") << QList<int>{1, 3} << 0 << false << "24135";
        // The point 10 pixels below the pointer is photo 4, not the photo above it.
        QTest::newRow("just above photo 4") << QList<int>{0} << 3 << true << "23415";
    }

    void dragReorder() {
        QFETCH(QList<int>, moving);
        QFETCH(int, ontoRow);
        QFETCH(bool, justAbove);
        QFETCH(QString, expected);
        EditorFixture editor(photos_);
        QTRY_COMPARE(editor.page->fileBrowser()->count(), 5);
        editor.page->addAllFiles();
        editor.project.setModified(false);
        PhotoListView* list = editor.page->photoList();
        list->selectRows(moving);
        // The drop point: 10 pixels above the target photo's middle (the rule looks 10
        // pixels below the pointer), or well below the last photo.
        QPoint at;
        if (justAbove) {
            editor.page->resize(340, 1000);
            QCoreApplication::processEvents();
            const QRect target = list->visualRect(list->model()->index(ontoRow, 0));
            const QRect above = list->visualRect(list->model()->index(ontoRow - 1, 0));
            QVERIFY(above.left() == target.left() && above.bottom() >= target.top() - 6);
            at = QPoint(target.center().x(), target.top() - 5);
        } else if (ontoRow >= 0) {
            at = list->visualRect(list->model()->index(ontoRow, 0)).center() - QPoint(0, 10);
        } else {
            const QRect last = list->visualRect(list->model()->index(4, 0));
            at = QPoint(last.left() + 5, last.bottom() + 30);
            QVERIFY(at.y() < list->viewport()->height());
        }
        std::unique_ptr<QMimeData> data(list->dragData());
        QVERIFY(dragTo(list->viewport(), at, data.get(), Qt::MoveAction));
        QString order;
        for (const auto& name : editor.names(0)) order += QString::fromStdString(name).mid(1, 1);
        QCOMPARE(order, expected);
        QCOMPARE(editor.project.modified(), expected != "12345");  // a drop that moves nothing changes nothing
        QCOMPARE(list->model()->index(0, 0).data().toString(), QStringLiteral("01"));
        QCOMPARE(list->selectedRows().size(), moving.size());  // the moved photos stay selected
    }

    void dragNearTheEdgesScrollsTheList() {
        EditorFixture editor(photos_);
        QTRY_COMPARE(editor.page->fileBrowser()->count(), 5);
        editor.page->addAllFiles();
        PhotoListView* list = editor.page->photoList();
        std::unique_ptr<QMimeData> data(list->dragData());
        QVERIFY(dragTo(list->viewport(), QPoint(50, 3), data.get(), Qt::MoveAction, false));
        QCOMPARE(list->autoScrollDirection(), -1);
        QDragMoveEvent nearBottom(QPoint(50, list->viewport()->height() - 3), Qt::MoveAction, data.get(), Qt::LeftButton, {});
        QCoreApplication::sendEvent(list->viewport(), &nearBottom);
        QCOMPARE(list->autoScrollDirection(), 1);
        QDragMoveEvent inside(list->viewport()->rect().center(), Qt::MoveAction, data.get(), Qt::LeftButton, {});
        QCoreApplication::sendEvent(list->viewport(), &inside);
        QCOMPARE(list->autoScrollDirection(), 0);
    }

    void titleRowChangesNothing() {
        EditorFixture editor(photos_);
        editor.albumNames = QStringList{"One", "Two"};
        editor.page->newAlbum();
        editor.page->newAlbum();
        QCOMPARE(editor.proposedNames.front(), QStringLiteral("Holiday"));
        QCOMPARE(editor.project.currentAlbum(), 1);
        AlbumListView* albums = editor.page->albumList();
        QCOMPARE(albums->selectedAlbum(), 1);
        const QRect title = albums->visualRect(albums->model()->index(kAlbumTitleRow, 0));
        QTest::mouseClick(albums->viewport(), Qt::LeftButton, {}, title.center());
        QCOMPARE(albums->selectedAlbum(), 1);
        QCOMPARE(editor.project.currentAlbum(), 1);
        QCOMPARE(albums->model()->index(kAlbumTitleRow, 0).data().toString(), QStringLiteral("Slide No.1"));
        // A click on an album row shows that album.
        QTest::mouseClick(albums->viewport(), Qt::LeftButton, {}, albums->visualRect(albums->model()->index(1, 0)).center());
        QCOMPARE(editor.project.currentAlbum(), 0);
    }

    void renamingTakesItsOwnNameButNoOtherAlbum() {
        EditorFixture fixture;
        fixture.project.addAlbum("Summer");
        fixture.project.addAlbum("Winter");
        // A page with its real dialogs.
        CPageEditor page({&fixture.project, &fixture.settings, fixture.services});
        page.albumList()->selectAlbum(1);
        const auto rename = [&](const QString& name) {
            testing::whenModal<AlbumNameDialog>([name](AlbumNameDialog* dialog) {
                dialog->nameEdit()->setText(name);
                dialog->accept();
                if (dialog->isVisible()) dialog->reject();  // refused: the dialog stayed open
            });
            page.renameAlbum();
        };
        rename(QStringLiteral("WINTER"));
        QCOMPARE(fixture.project.album(1).name, std::string("WINTER"));
        QVERIFY(!fixture.told("An album with the name you specified already exists. Please specify a different name."));
        rename(QStringLiteral("sUMMER"));
        QVERIFY(fixture.told("An album with the name you specified already exists. Please specify a different name."));
        QCOMPARE(fixture.project.album(1).name, std::string("WINTER"));
        QCOMPARE(fixture.project.album(0).name, std::string("Summer"));
    }

    void albumLimitsAndTheirMessages() {
        EditorFixture editor(photos_);
        for (int i = 0; i < kMaxAlbums; ++i) editor.project.addAlbum("A" + std::to_string(i));
        editor.page->projectReplaced();
        editor.page->newAlbum();
        QVERIFY(editor.told("The max. album number has been reached. Cannot add more albums."));
        QVERIFY(editor.proposedNames.isEmpty());  // refused before the name was asked
        QCOMPARE(editor.project.albumCount(), kMaxAlbums);

        // A nearly full album takes what fits and says so once.
        EditorFixture second(photos_);
        QTRY_COMPARE(second.page->fileBrowser()->count(), 5);
        second.project.addAlbum("Full");
        for (int i = 0; i < kMaxSlidesPerAlbum - 2; ++i) second.project.addSlide(0, "x.jpg", "x.jpg", 0);
        second.page->projectReplaced();
        second.page->addAllFiles();
        QCOMPARE(second.project.album(0).slides.size(), std::size_t(kMaxSlidesPerAlbum));
        QCOMPARE(second.timesTold(kMaxPhotos), 1L);
        // The Add Pictures dialog skips refused files without a word.
        second.page->choosePictureFiles = [&] { return QStringList{QString::fromStdString(photos_ + "/p1.jpg")}; };
        second.page->addPicturesWithDialog();
        QCOMPARE(second.timesTold(kMaxPhotos), 1L);
    }

    void deletingAlbumsMovesTheSelection() {
        EditorFixture editor(photos_);
        editor.page->deleteAlbum();
        QVERIFY(editor.told("There is no album to be removed."));
        editor.albumNames = QStringList{"One", "Two", "Three"};
        for (int i = 0; i < 3; ++i) editor.page->newAlbum();
        editor.page->albumList()->selectionModel()->clearSelection();
        editor.page->deleteAlbum();
        QVERIFY(editor.told("Please select an album to be removed."));
        QCOMPARE(editor.project.albumCount(), 3);

        editor.page->albumList()->selectAlbum(1);
        editor.page->deleteAlbum();
        QCOMPARE(editor.project.album(1).name, std::string("Three"));
        QCOMPARE(editor.page->albumList()->selectedAlbum(), 1);  // the deleted row's place
        QCOMPARE(editor.project.currentAlbum(), 1);
        editor.page->deleteAlbum();  // the last row: the row above
        QCOMPARE(editor.page->albumList()->selectedAlbum(), 0);
        QCOMPARE(editor.project.currentAlbum(), 0);
        QCOMPARE(editor.project.album(0).name, std::string("One"));
    }

    void photoOperationsAndTheirMessages() {
        EditorFixture editor(photos_);
        QTRY_COMPARE(editor.page->fileBrowser()->count(), 5);
        editor.page->addAllFiles();
        PhotoListView* list = editor.page->photoList();
        list->selectionModel()->clearSelection();
        editor.page->removeSelectedPhotos();
        QVERIFY(editor.told("Please select an item first!"));
        editor.page->rotateSelectedPhotos(true);
        QVERIFY(editor.told("Please select a picture."));

        list->selectRows({1, 2});
        editor.page->removeSelectedPhotos();
        QCOMPARE(editor.names(0), (std::vector<std::string>{"p1.jpg", "p4.jpg", "p5.jpg"}));
        QCOMPARE(list->model()->index(2, 0).data().toString(), QStringLiteral("03"));

        // Rotation turns the thumbnail too: a landscape photo becomes an upright one.
        list->selectRows({0});
        editor.page->rotateSelectedPhotos(true);
        const Slide& turned = *editor.project.album(0).slides[0];
        QCOMPARE(turned.rotation, 90);
        editor.settle();
        const QPixmap thumbnail = editor.page->slideThumbnail(turned);
        QVERIFY(!thumbnail.isNull());
        QVERIFY(thumbnail.height() > thumbnail.width());
        editor.page->rotateSelectedPhotos(false);
        QCOMPARE(turned.rotation, 0);
        QVERIFY(!turned.rotated);

        // A caption goes to every selected photo.
        SlideCaption caption;
        caption.text = "Beach";
        caption.align = CaptionAlign::UserDefined;
        editor.page->editCaption = [&](const SlideCaption&) { return std::optional<SlideCaption>(caption); };
        list->selectRows({0, 2});
        editor.page->addTextToSelectedPhotos();
        QVERIFY(editor.project.album(0).slides[0]->hasCaption);
        QVERIFY(!editor.project.album(0).slides[1]->hasCaption);
        QCOMPARE(editor.project.album(0).slides[2]->caption.text, std::string("Beach"));
        QCOMPARE(editor.project.album(0).slides[2]->caption.align, CaptionAlign::BottomCenter);

        // View Picture opens the viewer on the selected photo.
        int viewed = -1;
        editor.page->viewSlide = [&](int, int slide) { viewed = slide; };
        list->selectRows({2});
        editor.page->viewSelectedPhoto();
        QCOMPARE(viewed, 2);

        editor.page->removeAllPhotos();
        QVERIFY(editor.project.album(0).slides.empty());
        QCOMPARE(editor.project.statusLine(), std::string("Total : 1 Albums, 0 Photos"));
    }

    void albumMusicAndProperties() {
        EditorFixture editor(photos_);
        const std::string wav = dir_->file("song.wav");
        testing::writeFile(wav, std::string(4410, '\0'));
        editor.albumNames = QStringList{"Music"};
        editor.page->newAlbum();
        editor.page->playAlbumMusic();
        QVERIFY(editor.told("Current album doesn't have background music."));
        editor.page->chooseMusicFile = [&](const QString&) { return QString::fromStdString(wav); };
        editor.page->setAlbumMusic();
        QCOMPARE(editor.project.album(0).musicPath, wav);
        QCOMPARE(editor.project.album(0).musicLength, 4410);

        // Play waits for a player; once there, it asks for the album's music.
        QVERIFY(!editor.page->command(kPlayMusicCommand)->isEnabled());
        editor.page->setMusicPlayerAvailable(true);
        QVERIFY(editor.page->command(kPlayMusicCommand)->isEnabled());
        QSignalSpy play(editor.page.get(), &CPageEditor::playMusicRequested);
        editor.page->playAlbumMusic();
        QCOMPARE(play.size(), 1);
        QCOMPARE(play.front().at(0).toString(), QString::fromStdString(wav));
        QCOMPARE(play.front().at(1).toString(), QStringLiteral("Music"));

        editor.page->askAlbumProperties = [](int) {
            return std::optional<AlbumPropertiesChoice>({QStringLiteral("Renamed"), 9, QString()});
        };
        editor.page->albumProperties();
        QCOMPARE(editor.project.album(0).name, std::string("Renamed"));
        QCOMPARE(editor.project.album(0).playTime, 9);
        QVERIFY(!editor.project.album(0).hasMusic());

        editor.page->albumList()->selectionModel()->clearSelection();
        for (auto command : {&CPageEditor::albumProperties, &CPageEditor::setAlbumMusic, &CPageEditor::renameAlbum}) {
            const auto before = editor.prompt->shown().size();
            (editor.page.get()->*command)();
            QCOMPARE(editor.prompt->shown().size(), before + 1);
            QCOMPARE(editor.prompt->shown().back(), std::string("Please select an album."));
        }
    }

    void sortsByTheDateTaken() {
        const std::string dated = folder("Dated");
        const std::string plain = dir_->file("plain.jpg");
        writePhoto(plain, 32, 24);
        const std::string jpeg = testing::readFile(plain);
        // Named so that name order and date order differ; two have no date.
        const std::pair<const char*, const char*> photos[] = {
            {"a.jpg", "2024:06:02 10:00:00"}, {"b.jpg", nullptr}, {"c.jpg", "2023:12:24 18:30:00"},
            {"d.jpg", nullptr}, {"e.jpg", "2024:06:02 09:59:59"}};
        for (const auto& [name, date] : photos) {
            testing::writeFile(dated + "/" + name, date ? testing::withExifDate(jpeg, date) : jpeg);
        }
        EditorFixture editor(dated);
        QTRY_COMPARE(editor.page->fileBrowser()->count(), 5);
        editor.page->addAllFiles();
        editor.page->sortPhotosByDateTaken();
        QCOMPARE(editor.names(0), (std::vector<std::string>{"c.jpg", "e.jpg", "a.jpg", "b.jpg", "d.jpg"}));
    }

    void splittersKeepTheirLimitsAndSettings() {
        EditorFixture editor(photos_);
        editor.settings.window.splitterX = 10;  // below the limit: the page keeps 160
        CPageEditor page({&editor.project, &editor.settings, editor.services});
        page.resize(1000, 700);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        QVERIFY(page.browserSplitter()->sizes().value(0) >= 160);
        QVERIFY(page.pageSplitter()->sizes().value(0) >= 100);
        QCOMPARE(page.browserSplitter()->handleWidth(), 6);
        QCOMPARE(page.button(kRotateClockwiseButton)->toolTip(), QStringLiteral("Rotate 90 degrees clock-wise"));
        QCOMPARE(page.button(kAlbumMusicButton)->toolTip(), QStringLiteral("Album background music"));
        // The file list's view style is kept in the settings.
        page.command(kDetailsCommand)->trigger();
        QCOMPARE(page.fileBrowser()->listStyle(), FileListStyle::Details);
        QCOMPARE(editor.settings.window.listStyle, 2);
    }
};

QTEST_MAIN(PageEditorTest)
#include "page_editor_test.moc"
