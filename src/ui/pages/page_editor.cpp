#include "ui/pages/page_editor.h"

#include "imaging/exif_date.h"
#include "platform/text.h"
#include "project/strings.h"
#include "project/messages.h"
#include "project/text_catalog.h"
#include "ui/controls/image_button.h"
#include "ui/controls/shell_folder_tree.h"
#include "ui/pages/editor_album_list.h"
#include "ui/pages/editor_artwork.h"
#include "ui/pages/editor_file_browser.h"
#include "ui/pages/editor_photo_list.h"
#include "ui/pages/picture_files.h"
#include "ui/pages/thumbnail_loader.h"

#include <QAction>
#include <QDir>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QSplitter>
#include <QVBoxLayout>

#include <algorithm>

namespace tellavine::ui {
namespace {

const QColor kPageBackground(232, 232, 232);
constexpr std::size_t kThumbnailBudget = 16 * 1024 * 1024;
constexpr int kButtonFace = 34;
constexpr int kSplitterHandle = 6;
constexpr int kMinimumLeft = 160;
constexpr int kMinimumTop = 100;

QString thumbnailKey(const std::string& path, int rotation) {
    return QString::fromStdString(path) + QLatin1Char('\n') + QString::number(rotation);
}

struct ButtonEntry {
    int command;
    EditorArtwork face;
    int tooltip;
};

constexpr ButtonEntry kButtons[] = {
    {kNewSlideShowButton, EditorArtwork::NewAlbum, IDS_NEW_SLIDESHOW},
    {kDeleteSlideShowButton, EditorArtwork::DeleteAlbum, IDS_DELETE_SLIDESHOW},
    {kSlideShowPropertyButton, EditorArtwork::AlbumProperties, IDS_SLIDESHOW_PROPERTY},
    {kAddPicturesButton, EditorArtwork::AddPictures, IDS_ADD_PICTURES},
    {kAddAllButton, EditorArtwork::AddPictures, 0},
    {kDeletePicturesButton, EditorArtwork::DeletePictures, IDS_DELETE_PICTURES},
    {kRotateClockwiseButton, EditorArtwork::RotateClockwise, IDS_ROTATE_CLOCKWISE},
    {kRotateCounterClockwiseButton, EditorArtwork::RotateCounterClockwise, IDS_ROTATE_COUNTER_CLOCKWISE},
    {kViewPicturesButton, EditorArtwork::ViewPicture, IDS_VIEW_PICTURES},
    {kAlbumMusicButton, EditorArtwork::AlbumMusic, IDS_ALBUM_MUSIC},
};

}  // namespace

CPageEditor::CPageEditor(EditorPageServices services, QWidget* parent)
    : QWidget(parent), services_(std::move(services)), project_(*services_.project), cache_(kThumbnailBudget) {
    setObjectName(QStringLiteral("pageEditor"));
    setAcceptDrops(true);
    createCommands();

    pageSplitter_ = new QSplitter(Qt::Vertical, this);
    pageSplitter_->setObjectName(QStringLiteral("splitterY"));
    pageSplitter_->setHandleWidth(kSplitterHandle);
    pageSplitter_->setOpaqueResize(false);  // a bar follows the pointer; the panes move on release
    pageSplitter_->setChildrenCollapsible(false);
    pageSplitter_->addWidget(makeBrowser());
    pageSplitter_->addWidget(makeProjectPane());
    pageSplitter_->widget(0)->setMinimumHeight(kMinimumTop);
    pageSplitter_->setStretchFactor(0, 0);
    pageSplitter_->setStretchFactor(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pageSplitter_);

    const WindowPlacement& placement = services_.settings->window;
    pageSplitter_->setSizes({std::max(kMinimumTop, placement.splitterY), 400});
    for (QSplitter* splitter : {topSplitter_, bottomSplitter_}) {
        splitter->setSizes({std::max(kMinimumLeft, placement.splitterX), 800});
    }
    connect(pageSplitter_, &QSplitter::splitterMoved, this,
            [this] { services_.settings->window.splitterY = pageSplitter_->sizes().value(0); });
    connect(topSplitter_, &QSplitter::splitterMoved, this, [this] { syncSplitters(topSplitter_); });
    connect(bottomSplitter_, &QSplitter::splitterMoved, this, [this] { syncSplitters(bottomSplitter_); });

    photoLoader_ = new ThumbnailLoader(cache_, this);
    connect(photoLoader_, &ThumbnailLoader::thumbnailReady, this, &CPageEditor::photoThumbnailReady);

    installDialogs();
    browser_->setListStyle(fileListStyleFromSetting(services_.settings->window.listStyle));
    tree_->fill();
    projectReplaced();
}

CPageEditor::~CPageEditor() {
    // The loader threads use cache_, a member: they must end (their destructors join
    // them) before it goes, not later among the child objects Qt deletes after it.
    delete photoLoader_;
    delete browser_;
}

void CPageEditor::tell(const char* text) const {
    services_.engine.showText(translated(text));
}

// --- building the page ------------------------------------------------------------

void CPageEditor::createCommands() {
    const struct {
        int id;
        const char* text;
        std::function<void()> run;
    } commands[] = {
        {kRemoveCommand, QT_TR_NOOP("Remove"), [this] { removeSelectedPhotos(); }},
        {kRemoveAllCommand, QT_TR_NOOP("Remove All"), [this] { removeAllPhotos(); }},
        {kRotateClockwiseCommand, QT_TR_NOOP("Rotate 90 Clockwise"), [this] { rotateSelectedPhotos(true); }},
        {kRotateCounterClockwiseCommand, QT_TR_NOOP("Rotate 90 Counter-Clockwise"), [this] { rotateSelectedPhotos(false); }},
        {kAddTextCommand, QT_TR_NOOP("Add Text On Pictures..."), [this] { addTextToSelectedPhotos(); }},
        {kViewPictureCommand, QT_TR_NOOP("View Picture"), [this] { viewSelectedPhoto(); }},
        {kSortByDateTakenCommand, QT_TR_NOOP("Sort by Date Taken"), [this] { sortPhotosByDateTaken(); }},
        {kThumbnailsCommand, QT_TR_NOOP("Thumbnails"), [this] { chooseListStyle(FileListStyle::Thumbnails); }},
        {kListCommand, QT_TR_NOOP("List"), [this] { chooseListStyle(FileListStyle::List); }},
        {kDetailsCommand, QT_TR_NOOP("Details"), [this] { chooseListStyle(FileListStyle::Details); }},
        {kSmallIconsCommand, QT_TR_NOOP("Small Icons"), [this] { chooseListStyle(FileListStyle::SmallIcons); }},
        {kLargeIconsCommand, QT_TR_NOOP("Large Icons"), [this] { chooseListStyle(FileListStyle::LargeIcons); }},
        {kAddToAlbumCommand, QT_TR_NOOP("Add to Album"), [this] { addSelectedFiles(); }},
        {kAddAllCommand, QT_TR_NOOP("Add All "), [this] { addAllFiles(); }},
        {kSelectAllFilesCommand, QT_TR_NOOP("Select All"), [this] { selectAllFiles(); }},
        {kViewFileCommand, QT_TR_NOOP("View Picture"), [this] { viewSelectedFile(); }},
        {kNewAlbumMenuCommand, QT_TR_NOOP("New Album"), [this] { newAlbum(); }},
        {kDeleteAlbumMenuCommand, QT_TR_NOOP("Delete Album"), [this] { deleteAlbum(); }},
        {kRenameAlbumCommand, QT_TR_NOOP("Rename Album"), [this] { renameAlbum(); }},
        {kSetMusicCommand, QT_TR_NOOP("Set Backgound Music..."), [this] { setAlbumMusic(); }},
        {kClearMusicCommand, QT_TR_NOOP("Clear Background Music"), [this] { clearAlbumMusic(); }},
        {kPlayMusicCommand, QT_TR_NOOP("Play Background Music"), [this] { playAlbumMusic(); }},
        {kStopMusicCommand, QT_TR_NOOP("Stop Playing"), [this] { emit stopMusicRequested(); }},
        {kAlbumPropertiesMenuCommand, QT_TR_NOOP("Album Properties"), [this] { albumProperties(); }},
    };
    for (const auto& entry : commands) {
        auto* action = new QAction(tr(entry.text), this);
        action->setObjectName(QStringLiteral("editor%1").arg(entry.id));
        connect(action, &QAction::triggered, this, entry.run);
        commands_[entry.id] = action;
    }
    // The file list's view styles are a choice of one.
    for (int id : {kThumbnailsCommand, kListCommand, kDetailsCommand, kSmallIconsCommand, kLargeIconsCommand}) {
        commands_[id]->setCheckable(true);
    }
    commands_[kPlayMusicCommand]->setEnabled(false);
    commands_[kStopMusicCommand]->setEnabled(false);
}

QAction* CPageEditor::command(int id) const {
    const auto found = commands_.find(id);
    return found == commands_.end() ? nullptr : found->second;
}

ImageButton* CPageEditor::button(int command) const {
    const auto found = buttons_.find(command);
    return found == buttons_.end() ? nullptr : found->second;
}

QWidget* CPageEditor::makeButtonRow(const std::vector<int>& commands) {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 2, 0, 2);
    layout->setSpacing(2);
    for (int id : commands) {
        const ButtonEntry* entry = std::find_if(std::begin(kButtons), std::end(kButtons),
                                                [id](const ButtonEntry& each) { return each.command == id; });
        auto* button = new ImageButton(row);
        ImageButtonDescriptor descriptor;
        descriptor.stripWidth = kButtonFace * 4;
        descriptor.height = kButtonFace;
        descriptor.strip = makeButtonStrip(drawEditorButtonFace(entry->face, kButtonFace));
        descriptor.tooltipId = entry->tooltip;
        descriptor.controlId = id;
        button->create(descriptor);
        button->setObjectName(QStringLiteral("button%1").arg(id));
        button->setToolTip(entry->tooltip ? QString::fromStdString(tableText(entry->tooltip))
                                          : tr("Add All Pictures to Current Slideshow"));
        buttons_[id] = button;
        layout->addWidget(button);
    }
    layout->addStretch();
    return row;
}

QWidget* CPageEditor::makeBrowser() {
    topSplitter_ = new QSplitter(Qt::Horizontal, this);
    topSplitter_->setObjectName(QStringLiteral("splitterX"));
    topSplitter_->setHandleWidth(kSplitterHandle);
    topSplitter_->setOpaqueResize(false);
    topSplitter_->setChildrenCollapsible(false);
    tree_ = new ShellFolderTree(topSplitter_);
    tree_->setObjectName(QStringLiteral("folderTree"));
    tree_->setMinimumWidth(kMinimumLeft);
    browser_ = new PictureFileBrowser(cache_, topSplitter_);
    browser_->setObjectName(QStringLiteral("fileList"));
    topSplitter_->addWidget(tree_);
    topSplitter_->addWidget(browser_);
    topSplitter_->setStretchFactor(1, 1);
    connect(tree_, &ShellFolderTree::folderSelected, browser_, &PictureFileBrowser::setFolder);
    connect(browser_, &PictureFileBrowser::fileActivated, this,
            [this](const QString& path) { addPictures({path}, PictureSource::Browser); });
    connect(browser_, &PictureFileBrowser::contextMenuRequested, this, &CPageEditor::showFileMenu);
    return topSplitter_;
}

QWidget* CPageEditor::makeProjectPane() {
    bottomSplitter_ = new QSplitter(Qt::Horizontal, this);
    bottomSplitter_->setHandleWidth(kSplitterHandle);
    bottomSplitter_->setOpaqueResize(false);
    bottomSplitter_->setChildrenCollapsible(false);

    auto* albumPane = new QWidget(bottomSplitter_);
    albumPane->setMinimumWidth(kMinimumLeft);
    auto* albumLayout = new QVBoxLayout(albumPane);
    albumLayout->setContentsMargins(0, 0, 0, 0);
    albumLayout->setSpacing(0);
    albumLayout->addWidget(makeButtonRow({kNewSlideShowButton, kDeleteSlideShowButton, kSlideShowPropertyButton}));
    albumModel_ = new AlbumListModel(project_, this);
    albumView_ = new AlbumListView(albumPane);
    albumView_->setModel(albumModel_);
    albumView_->setItemDelegate(new AlbumRowDelegate([this](const Slide& slide) { return slideThumbnail(slide); }, albumView_));
    albumLayout->addWidget(albumView_);

    auto* photoPane = new QWidget(bottomSplitter_);
    auto* photoLayout = new QVBoxLayout(photoPane);
    photoLayout->setContentsMargins(0, 0, 0, 0);
    photoLayout->setSpacing(0);
    photoLayout->addWidget(makeButtonRow({kAddPicturesButton, kAddAllButton, kDeletePicturesButton, kRotateClockwiseButton,
                                          kRotateCounterClockwiseButton, kViewPicturesButton, kAlbumMusicButton}));
    photoModel_ = new PhotoListModel(project_, this);
    photoView_ = new PhotoListView(photoPane);
    photoView_->setModel(photoModel_);
    photoView_->setItemDelegate(new PhotoRowDelegate([this](const Slide& slide) { return slideThumbnail(slide); }, photoView_));
    photoLayout->addWidget(photoView_);

    bottomSplitter_->addWidget(albumPane);
    bottomSplitter_->addWidget(photoPane);
    bottomSplitter_->setStretchFactor(1, 1);

    const std::pair<int, std::function<void()>> actions[] = {
        {kNewSlideShowButton, [this] { newAlbum(); }},
        {kDeleteSlideShowButton, [this] { deleteAlbum(); }},
        {kSlideShowPropertyButton, [this] { albumProperties(); }},
        {kAddPicturesButton, [this] { addSelectedFiles(); }},
        {kAddAllButton, [this] { addAllFiles(); }},
        {kDeletePicturesButton, [this] { removeSelectedPhotos(); }},
        {kRotateClockwiseButton, [this] { rotateSelectedPhotos(true); }},
        {kRotateCounterClockwiseButton, [this] { rotateSelectedPhotos(false); }},
        {kViewPicturesButton, [this] { viewSelectedPhoto(); }},
        {kAlbumMusicButton, [this] { showMusicMenu(); }},
    };
    for (const auto& [id, run] : actions) connect(button(id), &QAbstractButton::clicked, this, run);

    connect(albumView_->selectionModel(), &QItemSelectionModel::selectionChanged, this, &CPageEditor::albumSelectionChanged);
    connect(albumView_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.row() != kAlbumTitleRow) albumProperties();
    });
    connect(albumView_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { showAlbumMenu(albumView_->viewport()->mapToGlobal(at)); });
    connect(photoView_, &QAbstractItemView::doubleClicked, this, [this] { viewSelectedPhoto(); });
    connect(photoView_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { showPhotoMenu(photoView_->viewport()->mapToGlobal(at)); });
    connect(photoView_, &PhotoListView::photosMoved, this, &CPageEditor::moveSelectedPhotos);
    connect(photoView_, &PhotoListView::filesDropped, this, [this](const QStringList& paths, bool fromBrowser) {
        addPictures(paths, fromBrowser ? PictureSource::Browser : PictureSource::Drop);
    });
    return bottomSplitter_;
}

void CPageEditor::chooseListStyle(FileListStyle style) {
    browser_->setListStyle(style);
    services_.settings->window.listStyle = static_cast<int>(style);
}

void CPageEditor::syncSplitters(QSplitter* moved) {
    if (syncingSplitters_) return;
    syncingSplitters_ = true;
    QSplitter* other = moved == topSplitter_ ? bottomSplitter_ : topSplitter_;
    other->setSizes(moved->sizes());
    services_.settings->window.splitterX = moved->sizes().value(0);
    syncingSplitters_ = false;
}

void CPageEditor::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kPageBackground);
}

// --- menus --------------------------------------------------------------------------

void CPageEditor::showPhotoMenu(const QPoint& globalPos) {
    QMenu menu(this);
    for (int id : {kRemoveCommand, kRemoveAllCommand}) menu.addAction(command(id));
    menu.addSeparator();
    for (int id : {kRotateClockwiseCommand, kRotateCounterClockwiseCommand}) menu.addAction(command(id));
    menu.addSeparator();
    for (int id : {kAddTextCommand, kSortByDateTakenCommand, kViewPictureCommand}) menu.addAction(command(id));
    menu.exec(globalPos);
}

void CPageEditor::showFileMenu(const QPoint& globalPos) {
    QMenu menu(this);
    QMenu* view = menu.addMenu(tr("View"));
    const std::pair<int, FileListStyle> styles[] = {
        {kThumbnailsCommand, FileListStyle::Thumbnails}, {kListCommand, FileListStyle::List},
        {kDetailsCommand, FileListStyle::Details},       {kSmallIconsCommand, FileListStyle::SmallIcons},
        {kLargeIconsCommand, FileListStyle::LargeIcons}};
    for (const auto& [id, style] : styles) {
        command(id)->setChecked(browser_->listStyle() == style);
        view->addAction(command(id));
    }
    QMenu* arrange = menu.addMenu(tr("Arrange Icons"));
    const std::pair<const char*, FileListColumn> orders[] = {
        {"By Name", kNameColumn}, {"By Size", kSizeColumn}, {"By Type", kTypeColumn}, {"By Date", kModifiedColumn}};
    for (const auto& [text, column] : orders) {
        const FileListColumn by = column;
        arrange->addAction(tr(text), this, [this, by] { browser_->sortBy(by, Qt::AscendingOrder); });
    }
    menu.addSeparator();
    for (int id : {kAddToAlbumCommand, kAddAllCommand, kSelectAllFilesCommand, kViewFileCommand}) menu.addAction(command(id));
    menu.exec(globalPos);
}

void CPageEditor::showAlbumMenu(const QPoint& globalPos) {
    QMenu menu(this);
    for (int id : {kNewAlbumMenuCommand, kDeleteAlbumMenuCommand, kRenameAlbumCommand}) menu.addAction(command(id));
    menu.addSeparator();
    for (int id : {kSetMusicCommand, kClearMusicCommand, kPlayMusicCommand}) menu.addAction(command(id));
    menu.addSeparator();
    menu.addAction(command(kAlbumPropertiesMenuCommand));
    menu.exec(globalPos);
}

void CPageEditor::showMusicMenu() {
    QMenu menu(this);
    menu.addAction(tr("Set Background Music"), this, [this] { setAlbumMusic(); });
    for (int id : {kClearMusicCommand, kPlayMusicCommand, kStopMusicCommand}) menu.addAction(command(id));
    ImageButton* under = button(kAlbumMusicButton);
    menu.exec(under->mapToGlobal(QPoint(0, under->height())));
}

void CPageEditor::setMusicPlayerAvailable(bool available) {
    musicPlayerAvailable_ = available;
    updateCommandStates();
}

void CPageEditor::updateCommandStates() {
    command(kPlayMusicCommand)->setEnabled(musicPlayerAvailable_);
    command(kStopMusicCommand)->setEnabled(musicPlayerAvailable_);
}

// --- albums ---------------------------------------------------------------------------

int CPageEditor::currentAlbumIndex() const {
    const int current = project_.currentAlbum();
    return current >= 0 && current < project_.albumCount() ? current : -1;
}

QString CPageEditor::proposedAlbumName() const {
    const auto folder = tree_->selectedPath();
    if (!folder) return {};
    return QFileInfo(QDir::cleanPath(*folder)).fileName();
}

void CPageEditor::projectReplaced() {
    photoThumbnails_.clear();
    refreshAlbums(currentAlbumIndex() >= 0 ? currentAlbumIndex() : (project_.albumCount() > 0 ? 0 : -1));
    showAlbum(albumView_->selectedAlbum());
}

void CPageEditor::refreshAlbums(int selectAlbum) {
    const QSignalBlocker quiet(albumView_->selectionModel());
    albumModel_->refresh();
    albumView_->selectAlbum(selectAlbum);
}

void CPageEditor::albumSelectionChanged() {
    const int album = albumView_->selectedAlbum();
    // The title row cannot be chosen; a cleared selection keeps the album shown.
    if (album < 0 || (album == project_.currentAlbum() && photoModel_->album() == album)) return;
    showAlbum(album);
}

void CPageEditor::showAlbum(int album) {
    if (album >= project_.albumCount()) album = -1;
    if (album >= 0) project_.setCurrentAlbum(album);
    photoLoader_->stop();
    photoModel_->showAlbum(album);
    restartPhotoThumbnails();
}

void CPageEditor::newAlbum() {
    if (project_.albumCount() >= kMaxAlbums) {
        services_.engine.showMessage(IDS_MAX_ALBUMS);
        return;
    }
    const auto name = askAlbumName(proposedAlbumName(), -1);
    if (!name) return;
    const int album = project_.addAlbum(name->toStdString());
    if (album < 0) return;
    refreshAlbums(album);
    showAlbum(album);
}

void CPageEditor::deleteAlbum() {
    if (project_.albumCount() == 0) return tell("There is no album to be removed.");
    const int selected = albumView_->selectedAlbum();
    if (selected < 0) return tell("Please select an album to be removed.");
    project_.removeAlbum(selected);
    // The selection stays at the deleted row's place (the row above for the last row),
    // and that album is the one shown.
    const int next = std::min(selected, project_.albumCount() - 1);
    refreshAlbums(next);
    showAlbum(next);
}

void CPageEditor::renameAlbum() {
    const int album = albumView_->selectedAlbum();
    if (album < 0) return tell("Please select an album.");
    const auto name = askAlbumName(QString::fromStdString(project_.album(album).name), album);
    if (!name || !project_.renameAlbum(album, name->toStdString())) return;
    refreshAlbums(album);
}

void CPageEditor::albumProperties() {
    const int album = albumView_->selectedAlbum();
    if (album < 0) return tell("Please select an album.");
    const auto choice = askAlbumProperties(album);
    if (!choice) return;
    project_.setAlbumProperties(album, choice->name.toStdString(), choice->playTime, choice->musicPath.toStdString());
    refreshAlbums(album);
}

void CPageEditor::setAlbumMusic() {
    const int album = albumView_->selectedAlbum();
    if (album < 0) return tell("Please select an album.");
    const Album& entry = project_.album(album);
    const QString path = chooseMusicFile(QString::fromStdString(entry.musicPath));
    if (path.isEmpty()) return;
    project_.setAlbumProperties(album, entry.name, entry.playTime, path.toStdString());
    refreshAlbums(album);
}

void CPageEditor::clearAlbumMusic() {
    const int album = albumView_->selectedAlbum();
    if (album < 0) return tell("Please select an album.");
    project_.clearAlbumMusic(album);
    refreshAlbums(album);
}

void CPageEditor::playAlbumMusic() {
    const int album = currentAlbumIndex();
    if (album < 0 || !project_.album(album).hasMusic()) return tell("Current album doesn't have background music.");
    const Album& entry = project_.album(album);
    emit playMusicRequested(QString::fromStdString(entry.musicPath), QString::fromStdString(entry.name));
}

// --- photos ---------------------------------------------------------------------------

void CPageEditor::addPictures(const QStringList& paths, PictureSource source) {
    if (paths.isEmpty()) return;
    if (project_.albumCount() == 0) {
        // The first pictures make the first album: named after the browsed folder when
        // they come from the browser, "New Slide" otherwise.
        QString name = QStringLiteral("New Slide");
        if (source == PictureSource::Browser) {
            name = proposedAlbumName();
            if (name.isEmpty()) name = QStringLiteral("Album #1");
        }
        if (project_.addAlbum(name.toStdString()) < 0) return;
    }
    int album = currentAlbumIndex();
    if (album < 0) {
        album = project_.albumCount() - 1;
        project_.setCurrentAlbum(album);
    }
    int refused = 0;
    {
        Project::ChangeBatch batch(project_);
        for (const QString& path : paths) {
            // Checked here so that a full album is reported once, not for every file.
            if (project_.album(album).slides.size() >= static_cast<std::size_t>(kMaxSlidesPerAlbum)) {
                ++refused;
                continue;
            }
            project_.addSlide(album, path.toStdString(), QFileInfo(path).fileName().toStdString(), 0);
        }
    }
    refreshAlbums(album);
    showAlbum(album);
    if (refused > 0 && source != PictureSource::AddPicturesDialog) services_.engine.showMessage(IDS_MAX_PHOTOS);
}

void CPageEditor::addSelectedFiles() {
    addPictures(browser_->selectedPaths(), PictureSource::Browser);
}

void CPageEditor::addAllFiles() {
    addPictures(browser_->allPaths(), PictureSource::Browser);
}

void CPageEditor::addPicturesWithDialog() {
    addPictures(choosePictureFiles(), PictureSource::AddPicturesDialog);
}

std::vector<Slide*> CPageEditor::selectedSlides() const {
    std::vector<Slide*> slides;
    const int album = photoModel_->album();
    if (album < 0 || album >= project_.albumCount()) return slides;
    for (int row : photoView_->selectedRows()) {
        if (const Slide* slide = photoModel_->slideAt(row)) slides.push_back(const_cast<Slide*>(slide));
    }
    return slides;
}

void CPageEditor::removeSelectedPhotos() {
    const std::vector<Slide*> slides = selectedSlides();
    if (slides.empty()) return tell("Please select an item first!");
    photoLoader_->stop();
    project_.removeSlides(photoModel_->album(), std::set<const Slide*>(slides.begin(), slides.end()));
    refreshPhotos();
}

void CPageEditor::removeAllPhotos() {
    const int album = photoModel_->album();
    if (album < 0 || album >= project_.albumCount()) return;
    photoLoader_->stop();
    project_.removeAllSlides(album);
    refreshPhotos();
}

void CPageEditor::rotateSelectedPhotos(bool clockwise) {
    const std::vector<Slide*> slides = selectedSlides();
    if (slides.empty()) return tell("Please select a picture.");
    {
        Project::ChangeBatch batch(project_);
        for (Slide* slide : slides) clockwise ? project_.rotateClockwise(*slide) : project_.rotateCounterClockwise(*slide);
    }
    restartPhotoThumbnails();  // the turned photos have new thumbnails
    albumView_->viewport()->update();
}

void CPageEditor::addTextToSelectedPhotos() {
    const std::vector<Slide*> slides = selectedSlides();
    if (slides.empty()) return tell("Please select a picture.");
    const auto caption = editCaption(slides.front()->caption);
    if (!caption) return;
    Project::ChangeBatch batch(project_);
    for (Slide* slide : slides) project_.setCaption(*slide, *caption);
    photoView_->viewport()->update();
}

void CPageEditor::viewSelectedPhoto() {
    const QList<int> rows = photoView_->selectedRows();
    if (rows.isEmpty()) return tell("Please select a picture.");
    const int row = photoView_->currentIndex().isValid() && rows.contains(photoView_->currentIndex().row())
                        ? photoView_->currentIndex().row()
                        : rows.front();
    viewSlide(photoModel_->album(), row);
    restartPhotoThumbnails();  // the viewer may have turned photos
    albumView_->viewport()->update();
}

void CPageEditor::viewSelectedFile() {
    const QStringList paths = browser_->selectedPaths();
    if (paths.isEmpty()) return tell("Please select a picture.");
    viewFile(paths.front());
}

void CPageEditor::selectAllFiles() {
    browser_->selectAll();
}

void CPageEditor::moveSelectedPhotos(int targetRow) {
    const std::vector<Slide*> slides = selectedSlides();
    if (slides.empty()) return;
    photoLoader_->stop();
    project_.moveSlides(photoModel_->album(), std::vector<const Slide*>(slides.begin(), slides.end()), targetRow);
    refreshPhotos();
    // The moved photos stay selected at their new places.
    QList<int> rows;
    for (const Slide* slide : slides) rows << photoModel_->rowOf(slide);
    photoView_->selectRows(rows);
}

void CPageEditor::sortPhotosByDateTaken() {
    const int album = photoModel_->album();
    if (album < 0 || album >= project_.albumCount()) return;
    struct Dated {
        const Slide* slide;
        std::string date;  // empty when the photo has none
    };
    std::vector<Dated> photos;
    for (const auto& slide : project_.album(album).slides) photos.push_back({slide.get(), pictureDateTaken(slide->path)});
    // Dated photos first, oldest first; the undated keep their order behind them.
    std::stable_sort(photos.begin(), photos.end(), [](const Dated& a, const Dated& b) {
        if (a.date.empty() != b.date.empty()) return !a.date.empty();
        return !a.date.empty() && a.date < b.date;
    });
    std::vector<const Slide*> order;
    for (const Dated& each : photos) order.push_back(each.slide);
    photoLoader_->stop();
    project_.reorderSlides(album, order);
    refreshPhotos();
}

void CPageEditor::refreshPhotos() {
    const int album = photoModel_->album();
    photoModel_->refresh();
    albumModel_->refresh();
    {
        const QSignalBlocker quiet(albumView_->selectionModel());
        albumView_->selectAlbum(album);
    }
    restartPhotoThumbnails();
}

// --- thumbnails -----------------------------------------------------------------------

QPixmap CPageEditor::slideThumbnail(const Slide& slide) const {
    return photoThumbnails_.value(thumbnailKey(slide.path, slide.rotation));
}

void CPageEditor::restartPhotoThumbnails() {
    // The first photo of every album (for the album rows), then the shown album's photos.
    std::vector<ThumbnailRequest> requests;
    photoRequests_.clear();
    QHash<QString, QPixmap> kept;
    auto want = [&](const Slide& slide) {
        const QString key = thumbnailKey(slide.path, slide.rotation);
        if (kept.contains(key)) return;
        const auto known = photoThumbnails_.find(key);
        if (known != photoThumbnails_.end()) {
            kept.insert(key, known.value());
            return;
        }
        kept.insert(key, QPixmap());
        requests.push_back({slide.path, slide.rotation});
        photoRequests_.push_back(key);
    };
    for (const Album& album : project_.albums()) {
        if (!album.slides.empty()) want(*album.slides.front());
    }
    const int shown = photoModel_->album();
    if (shown >= 0 && shown < project_.albumCount()) {
        for (const auto& slide : project_.album(shown).slides) want(*slide);
    }
    // Thumbnails of photos no longer in view are let go.
    for (auto it = kept.begin(); it != kept.end();) {
        it = it.value().isNull() ? kept.erase(it) : std::next(it);
    }
    photoThumbnails_ = std::move(kept);
    if (requests.empty()) photoLoader_->stop();
    else photoLoader_->start(std::move(requests));
    photoView_->viewport()->update();
    albumView_->viewport()->update();
}

void CPageEditor::photoThumbnailReady(int index, const QImage& image) {
    if (index < 0 || index >= static_cast<int>(photoRequests_.size()) || image.isNull()) return;
    photoThumbnails_.insert(photoRequests_[static_cast<std::size_t>(index)], QPixmap::fromImage(image));
    photoView_->viewport()->update();
    albumView_->viewport()->update();
}

// --- browsing and dropping -------------------------------------------------------------

void CPageEditor::browseFolder(const QString& folder) {
    if (!tree_->selectPath(folder)) browser_->setFolder(folder);
}

namespace {

// Files from other programs are taken anywhere on the page; the page's own drags only
// by the photo list.
bool takesDrop(const QMimeData* data) {
    return data->hasUrls() && !data->hasFormat(QString::fromLatin1(kBrowserDragFormat));
}

}  // namespace

void CPageEditor::dragEnterEvent(QDragEnterEvent* event) {
    if (!takesDrop(event->mimeData())) return event->ignore();
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void CPageEditor::dragMoveEvent(QDragMoveEvent* event) {
    if (!takesDrop(event->mimeData())) return event->ignore();
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void CPageEditor::dropEvent(QDropEvent* event) {
    if (!takesDrop(event->mimeData())) return event->ignore();
    event->setDropAction(Qt::CopyAction);
    event->accept();
    addPictures(picturesFromDrop(event->mimeData()->urls()), PictureSource::Drop);
}

}  // namespace tellavine::ui
