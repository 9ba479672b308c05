#include "ui/pages/page_menu.h"

#include "compose/menu_template.h"
#include "platform/text.h"
#include "ui/controls/image_button.h"
#include "ui/dialogs/album_name_dialog.h"
#include "ui/pages/build_worker.h"
#include "ui/pages/menu_button_faces.h"
#include "ui/pages/menu_canvas.h"
#include "ui/pages/template_list.h"

#include <QAction>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QPainter>

namespace tellavine::ui {
namespace {

const QColor kPageBackground(232, 232, 232);
constexpr std::size_t kThumbnailBudgetBytes = 32u << 20;

// Layout in pixels: gaps to the page's edges and between the controls.
constexpr int kEdge = 8;
constexpr int kLabelTop = 4;
constexpr int kLabelHeight = 16;
constexpr int kListTop = 22;
constexpr int kListHeightLoss = 30;       // list height = page height - this
constexpr int kCanvasBottomGap = 100;     // canvas bottom above the list's bottom edge
constexpr int kGap = 4;
constexpr int kStepButtonWidth = 82;
constexpr int kStepButtonHeight = 30;
constexpr int kPreviousFromRight = 172;   // previous button's left edge from the canvas' right
constexpr int kFileButtonWidth = 126;
constexpr int kFileButtonHeight = 30;

// Qt separates the patterns of a filter with spaces; the dialog ignores letter case.
constexpr const char* kMusicFilter = QT_TR_NOOP("Music Files(*.mp3 *.wav);;MP3 (*.mp3);;Wave(*.wav)");
constexpr const char* kPictureFilter =
    QT_TR_NOOP("All Images Formats(*.jpg *.jpeg *.tif *.tiff *.bmp *.pcx);;JPEG (*.jpg *.jpeg);;TIFF(*.tif *.tiff);;Bitmap(*.bmp)");

struct ButtonEntry {
    int id;
    MenuButtonSign sign;
    const char* caption;
    const char* tooltip;
    int width;
    int height;
};

constexpr ButtonEntry kButtons[] = {
    {kMenuMusicButton, MenuButtonSign::Music, QT_TR_NOOP("Music"), QT_TR_NOOP("Set the background music of the disc menu"), kFileButtonWidth,
     kFileButtonHeight},
    {kMenuBackgroundButton, MenuButtonSign::Picture, QT_TR_NOOP("Background"), QT_TR_NOOP("Set the background image of the disc menu"),
     kFileButtonWidth, kFileButtonHeight},
    {kNextMenuButton, MenuButtonSign::Next, QT_TR_NOOP("Next"), QT_TR_NOOP("Next menu"), kStepButtonWidth, kStepButtonHeight},
    {kPreviousMenuButton, MenuButtonSign::Previous, QT_TR_NOOP("Previous"), QT_TR_NOOP("Previous menu"), kStepButtonWidth, kStepButtonHeight},
};

QString startFolder(const std::string& current) {
    return QString::fromStdString(folderPart(current));
}

}  // namespace

CPageMenu::CPageMenu(MenuPageServices services, QWidget* parent)
    : QWidget(parent), services_(std::move(services)), thumbnails_(kThumbnailBudgetBytes) {
    setObjectName(QStringLiteral("pageMenu"));
    chooseMusicFile = [this] {
        return QFileDialog::getOpenFileName(this, tr("Select background music"),
                                            startFolder(services_.project->menu().musicPath), tr(kMusicFilter));
    };
    chooseBackgroundFile = [this] {
        return QFileDialog::getOpenFileName(this, tr("Select background image"),
                                            startFolder(services_.project->menu().backgroundPicturePath),
                                            tr(kPictureFilter));
    };
    askAlbumName = [this](int album) -> std::optional<QString> {
        const Project& project = *services_.project;
        AlbumNameDialog dialog(project, QString::fromStdString(project.album(album).name), album, this);
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        return dialog.name();
    };

    templateLabel_ = new QLabel(tr("Template:"), this);  // 1028
    canvasLabel_ = new QLabel(tr("Disc Menu:"), this);
    templates_ = new TemplateList(this);  // 1027
    templates_->setObjectName(QStringLiteral("templateList"));
    templates_->fill(services_.programDir);
    canvas_ = new MenuCanvas(this);  // 1043
    canvas_->setObjectName(QStringLiteral("menuCanvas"));
    canvas_->setSource(services_.project, services_.programDir, &thumbnails_);
    musicLine_ = new QLabel(this);  // 1071
    musicLine_->setObjectName(QStringLiteral("musicLine"));
    backgroundLine_ = new QLabel(tr("Default"), this);  // 1070
    backgroundLine_->setObjectName(QStringLiteral("backgroundLine"));
    for (QLabel* line : {musicLine_, backgroundLine_}) line->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    createCommands();
    createButtons();
    connect(templates_, &TemplateList::templateChosen, this, &CPageMenu::chooseTemplate);
    connect(canvas_, &MenuCanvas::titleDoubleClicked, this, &CPageMenu::renameAlbum);
    connect(canvas_, &MenuCanvas::menuRequested, this, [this](const QPoint& at) { canvasMenu_->popup(at); });
    refresh();
}

QAction* CPageMenu::addCommand(int id, const QString& text, void (CPageMenu::*handler)()) {
    auto* action = new QAction(text, this);
    action->setObjectName(QStringLiteral("command%1").arg(id));
    connect(action, &QAction::triggered, this, handler);
    commands_[id] = action;
    return action;
}

void CPageMenu::createCommands() {
    musicMenu_ = new QMenu(this);
    musicMenu_->addAction(
        addCommand(kSelectMenuMusicCommand, tr("Select background music..."), &CPageMenu::selectMusic));
    musicMenu_->addAction(addCommand(kClearMenuMusicCommand, tr("Clear background music"), &CPageMenu::clearMusic));
    musicMenu_->addSeparator();
    musicMenu_->addAction(addCommand(kPlayMenuMusicCommand, tr("Play Music"), &CPageMenu::playMusic));

    backgroundMenu_ = new QMenu(this);
    backgroundMenu_->addAction(
        addCommand(kSelectMenuBackgroundCommand, tr("Select background image..."), &CPageMenu::selectBackground));
    backgroundMenu_->addAction(
        addCommand(kClearMenuBackgroundCommand, tr("Clear background image"), &CPageMenu::clearBackground));

    canvasMenu_ = new QMenu(this);
    canvasMenu_->addAction(
        addCommand(kCanvasSelectMusicCommand, tr("Select background music..."), &CPageMenu::selectMusic));
    canvasMenu_->addAction(addCommand(kCanvasClearMusicCommand, tr("Clear background music"), &CPageMenu::clearMusic));
    canvasMenu_->addSeparator();
    canvasMenu_->addAction(
        addCommand(kCanvasSelectBackgroundCommand, tr("Select background image..."), &CPageMenu::selectBackground));
    canvasMenu_->addAction(
        addCommand(kCanvasClearBackgroundCommand, tr("Clear background image"), &CPageMenu::clearBackground));
}

void CPageMenu::createButtons() {
    for (const ButtonEntry& entry : kButtons) {
        auto* button = new ImageButton(this);
        ImageButtonDescriptor descriptor;
        descriptor.stripWidth = entry.width * 4;
        descriptor.height = entry.height;
        descriptor.strip = makeButtonStrip(drawMenuButtonFace(entry.sign, tr(entry.caption), entry.width, entry.height));
        descriptor.controlId = entry.id;
        button->create(descriptor);
        button->setToolTip(tr(entry.tooltip));
        button->setObjectName(QStringLiteral("button%1").arg(entry.id));
        buttons_[entry.id] = button;
    }
    // The two file menus open with their top-left corner on the button's.
    connect(button(kMenuMusicButton), &QAbstractButton::clicked, this,
            [this] { musicMenu_->popup(button(kMenuMusicButton)->mapToGlobal(QPoint(0, 0))); });
    connect(button(kMenuBackgroundButton), &QAbstractButton::clicked, this,
            [this] { backgroundMenu_->popup(button(kMenuBackgroundButton)->mapToGlobal(QPoint(0, 0))); });
    connect(button(kNextMenuButton), &QAbstractButton::clicked, this, &CPageMenu::nextMenu);
    connect(button(kPreviousMenuButton), &QAbstractButton::clicked, this, &CPageMenu::previousMenu);
}

ImageButton* CPageMenu::button(int id) const {
    const auto it = buttons_.find(id);
    return it == buttons_.end() ? nullptr : it->second;
}

QAction* CPageMenu::command(int id) const {
    const auto it = commands_.find(id);
    return it == commands_.end() ? nullptr : it->second;
}

int CPageMenu::firstAlbum() const {
    return canvas_->firstAlbum();
}

QString CPageMenu::musicLine() const {
    return musicLine_->text();
}

QString CPageMenu::backgroundLine() const {
    return backgroundLine_->text();
}

void CPageMenu::readItemsPerPage() {
    itemsPerPage_ = templateItemsPerPage(services_.programDir, services_.project->menu().templatePath);
    // Written only when it differs: a finishing build may be reading it.
    if (services_.project->itemsPerPage() != itemsPerPage_) services_.project->setItemsPerPage(itemsPerPage_);
}

void CPageMenu::whenNoBuild(std::function<void()> change) {
    if (services_.worker) {
        services_.worker->whenIdle(this, std::move(change));
    } else {
        change();
    }
}

void CPageMenu::refresh() {
    readItemsPerPage();
    const Project& project = *services_.project;
    templates_->showChosen(QString::fromStdString(fileNamePart(project.menu().templatePath)));
    // Albums may have gone, or the page size changed, since the page was last shown:
    // stay on a page that exists.
    const int albums = project.albumCount();
    int first = firstAlbum() / itemsPerPage_ * itemsPerPage_;
    if (first >= albums) first = albums > 0 ? (albums - 1) / itemsPerPage_ * itemsPerPage_ : 0;
    showFirstAlbum(first);
    canvas_->invalidate();
    updateLines();
}

void CPageMenu::setMusicPlayerAvailable(bool available) {
    playerAvailable_ = available;
    updateLines();
}

void CPageMenu::showFirstAlbum(int firstAlbum) {
    canvas_->setFirstAlbum(firstAlbum);
    updateButtons();
}

void CPageMenu::updateButtons() {
    const int first = firstAlbum();
    button(kPreviousMenuButton)->setEnabled(first > 0);
    button(kNextMenuButton)->setEnabled(first + itemsPerPage_ < services_.project->albumCount());
}

void CPageMenu::updateLines() {
    const MenuSettings& menu = services_.project->menu();
    musicLine_->setText(menu.musicPath.empty() ? tr("No Background Music")
                                               : QString::fromStdString(fileNamePart(menu.musicPath)));
    musicLine_->setToolTip(QString::fromStdString(menu.musicPath));
    backgroundLine_->setText(menu.backgroundPicturePath.empty()
                                 ? tr("Default background image")
                                 : QString::fromStdString(fileNamePart(menu.backgroundPicturePath)));
    backgroundLine_->setToolTip(QString::fromStdString(menu.backgroundPicturePath));
    command(kPlayMenuMusicCommand)->setEnabled(playerAvailable_ && !menu.musicPath.empty());
}

void CPageMenu::nextMenu() {
    if (firstAlbum() + itemsPerPage_ < services_.project->albumCount()) showFirstAlbum(firstAlbum() + itemsPerPage_);
}

void CPageMenu::previousMenu() {
    if (firstAlbum() >= itemsPerPage_) showFirstAlbum(firstAlbum() - itemsPerPage_);
}

void CPageMenu::chooseTemplate(const QString& fileName) {
    whenNoBuild([this, fileName] {
        Project& project = *services_.project;
        MenuSettings menu = project.menu();
        menu.templatePath = "template\\" + fileName.toStdString();
        menu.backgroundPicturePath.clear();
        std::string notice;
        itemsPerPage_ = templateItemsPerPage(services_.programDir, menu.templatePath, &notice);
        // The page count changes with the template: set it before the change is reported,
        // so the disc estimate counts the new pages.
        project.setItemsPerPage(itemsPerPage_);
        project.setMenu(menu);
        showFirstAlbum(0);
        canvas_->invalidate();
        updateLines();
        if (!notice.empty()) project.services().showText(notice);
    });
}

void CPageMenu::selectMusic() {
    whenNoBuild([this] {
        const QString path = chooseMusicFile();
        if (path.isEmpty()) return;
        services_.project->setMenuMusic(path.toStdString());  // measured; marks the project
        updateLines();
    });
}

void CPageMenu::clearMusic() {
    whenNoBuild([this] {
        services_.project->setMenuMusic({});
        updateLines();
    });
}

void CPageMenu::playMusic() {
    const MenuSettings& menu = services_.project->menu();
    if (!playerAvailable_ || menu.musicPath.empty()) return;
    emit playMusicRequested(QString::fromStdString(menu.musicPath),
                            QString::fromStdString(fileNamePart(menu.musicPath)));
}

void CPageMenu::selectBackground() {
    whenNoBuild([this] {
        const QString path = chooseBackgroundFile();
        if (path.isEmpty()) return;
        MenuSettings menu = services_.project->menu();
        menu.backgroundPicturePath = path.toStdString();
        services_.project->setMenu(menu);
        updateLines();
        canvas_->invalidate();
    });
}

void CPageMenu::clearBackground() {
    whenNoBuild([this] {
        MenuSettings menu = services_.project->menu();
        menu.backgroundPicturePath.clear();
        services_.project->setMenu(menu);
        updateLines();
        canvas_->invalidate();
    });
}

void CPageMenu::renameAlbum(int album) {
    whenNoBuild([this, album] {
        Project& project = *services_.project;
        if (album < 0 || album >= project.albumCount()) return;
        const std::optional<QString> name = askAlbumName(album);
        if (!name || name->trimmed().isEmpty()) return;
        // The model refuses a name another album has, with the message, as the dialog does.
        if (!project.renameAlbum(album, name->toStdString())) return;
        canvas_->invalidate();
    });
}

void CPageMenu::layOut() {
    const int listWidth = templates_->width();
    const int listLeft = width() - kEdge - listWidth;
    const int listHeight = height() - kListHeightLoss;
    const int listBottom = kListTop + listHeight;
    templates_->setGeometry(listLeft, kListTop, listWidth, listHeight);
    templateLabel_->setGeometry(listLeft, kLabelTop, listWidth, kLabelHeight);

    const int canvasRight = listLeft - kEdge;  // one past the canvas' last column
    const int canvasBottom = listBottom - kCanvasBottomGap;
    canvas_->setGeometry(kEdge, kListTop, canvasRight - kEdge, canvasBottom - kListTop);
    canvasLabel_->setGeometry(kEdge, kLabelTop, canvasRight - kEdge, kLabelHeight);

    const int stepTop = canvasBottom + kGap;
    button(kPreviousMenuButton)->move(canvasRight - kPreviousFromRight, stepTop);
    button(kNextMenuButton)->move(canvasRight - kStepButtonWidth, stepTop);
    const int musicTop = stepTop + kStepButtonHeight + kGap;
    const int backgroundTop = musicTop + kFileButtonHeight + kGap;
    button(kMenuMusicButton)->move(kEdge, musicTop);
    button(kMenuBackgroundButton)->move(kEdge, backgroundTop);
    const int lineLeft = kEdge + kFileButtonWidth + kGap;
    const int lineWidth = canvasRight - lineLeft;
    musicLine_->setGeometry(lineLeft, musicTop + kGap, lineWidth, kFileButtonHeight - 2 * kGap);
    backgroundLine_->setGeometry(lineLeft, backgroundTop + kGap, lineWidth, kFileButtonHeight - 2 * kGap);
    update();
}

void CPageMenu::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layOut();
}

void CPageMenu::paintEvent(QPaintEvent*) {
    QPainter(this).fillRect(rect(), kPageBackground);
}

}  // namespace tellavine::ui
