#include "ui/pages/page_burn.h"

#include "platform/folders.h"
#include "platform/text.h"
#include "pipeline/build_request.h"
#include "project/messages.h"
#include "recorder/disc_utilities.h"
#include "ui/app/artwork.h"
#include "ui/controls/image_button.h"
#include "ui/pages/build_worker.h"
#include "ui/pages/progress_window.h"
#include "ui/pages/recorder_access.h"

#include <QButtonGroup>
#include <algorithm>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

namespace tellavine::ui {
namespace {

const QColor kPageBackground(232, 232, 232);
constexpr int kActionWidth = 112;
constexpr int kActionHeight = 64;

struct ActionSpec {
    int command;
    Artwork picture;
    const char* caption;
    const char* tooltip;
};

constexpr ActionSpec kActions[] = {
    {kEraseCommand, Artwork::EraseDisc, QT_TR_NOOP("Erase"), QT_TR_NOOP("Erase CD-RW disc")},
    {kEjectCommand, Artwork::EjectDisc, QT_TR_NOOP("Eject"), QT_TR_NOOP("Eject CD")},
    {kCloseTrayCommand, Artwork::CloseTray, QT_TR_NOOP("Close"), QT_TR_NOOP("Close CD-ROM")},
    {kSimulateCommand, Artwork::Simulate, QT_TR_NOOP("Simulate"),
     "Test burning CD. No data will be written to the CD-R/RW disc and the CD-R/RW disc will remain blank."},
    {kBurnCommand, Artwork::Burn, QT_TR_NOOP("Burn Now"), QT_TR_NOOP("Burn the CD-R/RW or write to disc image file.")},
};

}  // namespace

CPageBurn::CPageBurn(BurnPageServices services, QWidget* parent) : QWidget(parent), services_(std::move(services)) {
    setObjectName(QStringLiteral("pageBurn"));
    chooseImagePath = [this] { return askImagePath(); };

    auto* title = new QLabel(tr("Burn Disc"), this);
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    titleFont.setBold(true);
    title->setFont(titleFont);
    auto* subtitle = new QLabel(
        tr("Choose how the disc plays on television and where it goes: straight onto a blank CD-R/RW, "
           "or into a CUE/BIN disc image file."),
        this);
    subtitle->setWordWrap(true);

    auto* left = new QVBoxLayout;
    left->setSpacing(10);
    auto* topRow = new QHBoxLayout;
    topRow->setSpacing(10);
    topRow->addWidget(makeTvGroup(), 1);
    topRow->addWidget(makeDiscGroup(), 1);
    left->addLayout(topRow);
    left->addWidget(makeOutputGroup());
    left->addStretch();

    auto* body = new QHBoxLayout;
    body->setSpacing(16);
    body->addLayout(left, 1);
    body->addWidget(makeActionColumn(), 0, Qt::AlignTop);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->addWidget(title);
    layout->addWidget(subtitle);
    layout->addSpacing(6);
    layout->addLayout(body, 1);

    fillFromSettings();
}

QWidget* CPageBurn::makeTvGroup() {
    auto* group = new QGroupBox(tr("TV Options"), this);
    pal_ = new QRadioButton(tr("PAL"), group);  // 1058
    ntsc_ = new QRadioButton(tr("NTSC"), group);  // 1059
    pal_->setObjectName(QStringLiteral("pal"));
    ntsc_->setObjectName(QStringLiteral("ntsc"));
    tvNotes_ = new QLabel(group);  // 1091
    tvNotes_->setWordWrap(true);
    tvNotes_->setMinimumHeight(tvNotes_->fontMetrics().lineSpacing() * 2);
    QPalette notes = tvNotes_->palette();
    notes.setColor(QPalette::WindowText, QColor(70, 80, 100));
    tvNotes_->setPalette(notes);
    aspect_ = new QComboBox(group);  // 1122
    aspect_->addItems({tr("No correction"), tr("4:3"), tr("16:9")});
    cropping_ = new QSlider(Qt::Horizontal, group);  // 1124
    cropping_->setRange(0, 20);
    cropping_->setTickPosition(QSlider::TicksBelow);
    cropping_->setTickInterval(5);
    croppingLabel_ = new QLabel(group);  // 1123

    auto* standards = new QHBoxLayout;
    standards->addWidget(pal_);
    standards->addWidget(ntsc_);
    standards->addStretch();
    auto* grid = new QGridLayout(group);
    grid->addLayout(standards, 0, 0, 1, 2);
    grid->addWidget(tvNotes_, 1, 0, 1, 2);
    grid->addWidget(new QLabel(tr("TV Aspect Ratio Correction:"), group), 2, 0);
    grid->addWidget(aspect_, 2, 1);
    grid->addWidget(croppingLabel_, 3, 0);
    grid->addWidget(cropping_, 3, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(4, 1);

    connect(pal_, &QRadioButton::toggled, this, [this](bool on) {
        services_.settings->pal = on;
        updateTvNotes();
    });
    connect(aspect_, &QComboBox::currentIndexChanged, this,
            [this](int index) { services_.settings->ratioCorrection = index; });
    connect(cropping_, &QSlider::valueChanged, this, [this](int value) {
        services_.settings->tvCrop = value;
        croppingLabel_->setText(tr("TV Cropping: %1%").arg(value));
    });
    return group;
}

QWidget* CPageBurn::makeDiscGroup() {
    auto* group = new QGroupBox(tr("Disc Contents"), this);
    volumeLabel_ = new QLineEdit(group);  // 1036
    volumeLabel_->setObjectName(QStringLiteral("volumeLabel"));
    volumeLabel_->setMaxLength(static_cast<int>(kMaxTextLength));
    photoFiles_ = new QCheckBox(tr("Original Photo Files"), group);  // 1119
    audioFiles_ = new QCheckBox(tr("Background Audio Files"), group);  // 1120
    photoFiles_->setObjectName(QStringLiteral("photoFiles"));
    audioFiles_->setObjectName(QStringLiteral("audioFiles"));
    auto* extras = new QLabel(tr("Also copy onto the disc:"), group);
    auto* grid = new QGridLayout(group);
    grid->addWidget(new QLabel(tr("Volume Label:"), group), 0, 0);
    grid->addWidget(volumeLabel_, 0, 1);
    grid->addWidget(extras, 1, 0, 1, 2);
    grid->addWidget(photoFiles_, 2, 0, 1, 2);
    grid->addWidget(audioFiles_, 3, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(4, 1);

    connect(volumeLabel_, &QLineEdit::textEdited, this,
            [this](const QString& text) { services_.settings->discName = text.toStdString(); });
    connect(photoFiles_, &QCheckBox::toggled, this, [this](bool on) {
        services_.settings->writePhotoFiles = on;
        emit estimateChanged();
    });
    connect(audioFiles_, &QCheckBox::toggled, this, [this](bool on) {
        services_.settings->writeAudioFiles = on;
        emit estimateChanged();
    });
    return group;
}

QWidget* CPageBurn::makeOutputGroup() {
    auto* group = new QGroupBox(tr("Output"), this);
    recorderOutput_ = new QRadioButton(tr("CD Recorder:"), group);  // 1115
    imageOutput_ = new QRadioButton(tr("Disc Image File:"), group);  // 1116
    recorderOutput_->setObjectName(QStringLiteral("recorderOutput"));
    imageOutput_->setObjectName(QStringLiteral("imageOutput"));
    recorderList_ = new QComboBox(group);  // 1060
    speedLabel_ = new QLabel(tr("Recording Speed:"), group);
    speed_ = new QComboBox(group);  // 1064
    for (const char* label : kSpeedLabels) speed_->addItem(QString::fromLatin1(label));
    burnProof_ = new QCheckBox(tr("Burn-Proof(TM) disc protection"), group);  // 1066
    imagePath_ = new QLineEdit(group);  // 1111
    imagePath_->setObjectName(QStringLiteral("imagePath"));
    imagePath_->setPlaceholderText(tr("Folder and name of the .cue file"));
    browse_ = new QPushButton(tr("..."), group);  // 1089
    browse_->setObjectName(QStringLiteral("browseImage"));
    browse_->setFixedWidth(36);

    auto* grid = new QGridLayout(group);
    grid->addWidget(recorderOutput_, 0, 0);
    grid->addWidget(recorderList_, 0, 1, 1, 2);
    grid->addWidget(speedLabel_, 1, 0, Qt::AlignRight);
    grid->addWidget(speed_, 1, 1);
    grid->addWidget(burnProof_, 2, 1, 1, 2);
    grid->addWidget(imageOutput_, 3, 0);
    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(imagePath_, 1);
    pathRow->addWidget(browse_);
    grid->addLayout(pathRow, 3, 1, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);

    auto* outputs = new QButtonGroup(group);
    outputs->addButton(recorderOutput_);
    outputs->addButton(imageOutput_);
    connect(imageOutput_, &QRadioButton::toggled, this, &CPageBurn::updateOutputControls);
    connect(recorderList_, &QComboBox::activated, this, [this](int index) {
        services_.settings->recorder = index;
        services_.recorders->selectRecorder(index, services_.settings->driver);
    });
    connect(speed_, &QComboBox::currentIndexChanged, this, [this](int index) { services_.settings->burnSpeed = index; });
    connect(browse_, &QPushButton::clicked, this, &CPageBurn::browseImagePath);
    return group;
}

QWidget* CPageBurn::makeActionColumn() {
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 8, 0, 0);
    layout->setSpacing(6);
    for (const ActionSpec& action : kActions) {
        auto* button = new ImageButton(column);
        ImageButtonDescriptor descriptor;
        descriptor.stripWidth = kActionWidth * 4;
        descriptor.height = kActionHeight;
        descriptor.strip = makeButtonStrip(drawActionFace(action.picture, tr(action.caption), kActionWidth, kActionHeight));
        descriptor.controlId = action.command;
        button->create(descriptor);
        button->setToolTip(tr(action.tooltip));
        button->setObjectName(QStringLiteral("action%1").arg(action.command));
        layout->addWidget(button);
        actions_.push_back(button);
        if (action.command == kCloseTrayCommand) layout->addSpacing(14);
    }
    connect(actionButton(kEraseCommand), &QAbstractButton::clicked, this, [this] {
        if (services_.recorders->hasDriver()) services_.recorders->runEraseDialog(this);
    });
    connect(actionButton(kEjectCommand), &QAbstractButton::clicked, this,
            [this] { services_.recorders->openTray(); });
    connect(actionButton(kCloseTrayCommand), &QAbstractButton::clicked, this,
            [this] { services_.recorders->closeTray(); });
    connect(actionButton(kSimulateCommand), &QAbstractButton::clicked, this, &CPageBurn::simulate);
    connect(actionButton(kBurnCommand), &QAbstractButton::clicked, this, &CPageBurn::burn);
    return column;
}

ProgressWindow* CPageBurn::progressWindow() const {
    return progress_;
}

ImageButton* CPageBurn::actionButton(int command) const {
    for (ImageButton* button : actions_) {
        if (button->controlId() == command) return button;
    }
    return nullptr;
}

void CPageBurn::fillFromSettings() {
    const AppSettings& settings = *services_.settings;
    (settings.pal ? pal_ : ntsc_)->setChecked(true);
    updateTvNotes();
    aspect_->setCurrentIndex(std::clamp(settings.ratioCorrection, 0, 2));
    cropping_->setValue(settings.tvCrop);
    croppingLabel_->setText(tr("TV Cropping: %1%").arg(settings.tvCrop));
    volumeLabel_->setText(QString::fromStdString(settings.discName));
    photoFiles_->setChecked(settings.writePhotoFiles);
    audioFiles_->setChecked(settings.writeAudioFiles);
    speed_->setCurrentIndex(std::clamp(settings.burnSpeed, 0, speed_->count() - 1));
    burnProof_->setChecked(settings.burnProof != 0);
    setRecorderList({}, 0);
}

void CPageBurn::setRecorderList(const QStringList& recorders, int selected) {
    recorderList_->clear();
    recorderList_->addItems(recorders);
    if (!recorders.isEmpty()) recorderList_->setCurrentIndex(std::clamp(selected, 0, int(recorders.size()) - 1));
    // Without a writer only the image file remains.
    recorderOutput_->setEnabled(!recorders.isEmpty());
    setImageOutput(recorders.isEmpty() || imageOutput());
    updateOutputControls();
}

bool CPageBurn::imageOutput() const {
    return imageOutput_->isChecked();
}

void CPageBurn::setImageOutput(bool image) {
    if (!image && !recorderOutput_->isEnabled()) return;
    (image ? imageOutput_ : recorderOutput_)->setChecked(true);
    updateOutputControls();
}

void CPageBurn::updateOutputControls() {
    const bool image = imageOutput_->isChecked();
    const bool recorder = !image && recorderOutput_->isEnabled();
    for (QWidget* control : {static_cast<QWidget*>(recorderList_), static_cast<QWidget*>(speedLabel_),
                             static_cast<QWidget*>(speed_), static_cast<QWidget*>(burnProof_)}) {
        control->setEnabled(recorder);
    }
    for (int command : {kEraseCommand, kEjectCommand, kCloseTrayCommand}) {
        if (ImageButton* button = actionButton(command)) button->setEnabled(recorder);
    }
    // A test run always goes to a recorder.
    if (ImageButton* button = actionButton(kSimulateCommand)) button->setEnabled(recorderOutput_->isEnabled());
    imagePath_->setEnabled(image);
    browse_->setEnabled(image);
}

void CPageBurn::updateTvNotes() {
    tvNotes_->setText(pal_->isChecked() ? tr("PAL is widely used in Asia and Europe countries.")
                                        : tr("NTSC is widely used in north american countries."));
}

QString withCueExtension(const QString& path) {
    if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty()) return path;
    return path + QStringLiteral(".cue");
}

QString CPageBurn::askImagePath() {
    QFileDialog dialog(this, tr("Write Disc Image File as ..."), QString::fromStdString(appFolders().programDir),
                       tr("CUE/BIN Image File(*.cue)"));
    dialog.setObjectName(QStringLiteral("imageFileDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("cue"));
    // Burn asks about an existing image itself, once.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted) return {};
    // Not every system dialog adds the suffix; a name without one is meant as a .cue.
    return withCueExtension(dialog.selectedFiles().value(0));
}

void CPageBurn::browseImagePath() {
    const QString path = chooseImagePath();
    if (!path.isEmpty()) imagePath_->setText(path);
}

void CPageBurn::paintEvent(QPaintEvent*) {
    QPainter(this).fillRect(rect(), kPageBackground);
}

bool CPageBurn::checkDiscBeforeRecording() {
    RecorderAccess& recorders = *services_.recorders;
    DiscCheckSteps steps;
    steps.readStatus = [&recorders]() -> std::optional<DiscStatus> {
        const auto state = recorders.discState();
        if (!state) return std::nullopt;
        return DiscStatus{state->blank, state->freeSectors};
    };
    steps.openTray = [&recorders] { recorders.openTray(); };
    steps.erase = [this, &recorders] { recorders.runEraseDialog(this); };
    std::int64_t freeSectors = 0;
    if (!tellavine::checkDiscBeforeRecording(steps, *services_.engine.prompt, freeSectors)) return false;
    freeSectors_ = freeSectors;
    return true;
}

bool CPageBurn::discHasRoom() {
    return confirmDiscSpace(*services_.engine.prompt, freeSectors_, services_.estimateSectors());
}

bool CPageBurn::projectHasPhotos() {
    const std::string problem = emptyProjectProblem(*services_.project);
    if (!problem.empty()) services_.engine.showText(problem);
    return problem.empty();
}

void CPageBurn::burn() {
    // Before any dialog or disc check: nothing is to be written for such a project.
    if (!projectHasPhotos()) return;
    if (imageOutput()) {
        QString typed = imagePath_->text().trimmed();
        if (typed.isEmpty()) {
            typed = chooseImagePath();
            if (typed.isEmpty()) return;
            imagePath_->setText(typed);
        }
        if (const auto problem = imagePathProblem(typed.toStdString()); !problem.empty()) {
            services_.engine.showText(problem);
            return;
        }
        if (QFileInfo::exists(typed) &&
            services_.engine.showText("Disc image file has already existed, do you want to overwrite and continue?",
                                      PromptButtons::YesNo) != PromptAnswer::Yes) {
            return;
        }
        startBuild(false, typed.toStdString());
        return;
    }
    if (!checkDiscBeforeRecording() || !discHasRoom()) return;
    startBuild(false, {});
}

void CPageBurn::simulate() {
    if (!projectHasPhotos()) return;
    if (services_.engine.showText("This operation will simulate the burning process. No real data will be written. "
                                  "The disc remains blank and is not playable after burning. \n\nDo you want to "
                                  "continue?",
                                  PromptButtons::YesNo) != PromptAnswer::Yes) {
        return;
    }
    if (!checkDiscBeforeRecording() || !discHasRoom()) return;
    startBuild(true, {});
}

BuildOverrides CPageBurn::overrides(bool simulate, const std::string& imagePath) const {
    BuildOverrides chosen;
    chosen.tvStandard = pal_->isChecked() ? TvStandard::PAL : TvStandard::NTSC;
    chosen.volumeLabel = volumeLabel_->text().toStdString();
    chosen.simulate = simulate;
    chosen.speedIndex = speed_->currentIndex();
    chosen.burnProof = burnProof_->isChecked();
    chosen.outputTarget = !simulate && imageOutput() ? OutputTarget::ImageFile : OutputTarget::Recorder;
    chosen.imagePath = imagePath;
    chosen.recorderIndex = recorderList_->currentIndex();
    return chosen;
}

void CPageBurn::startBuild(bool simulate, const std::string& imagePath) {
    // The previous build must be over before this one may read the project.
    if (services_.worker->running()) {
        services_.worker->whenIdle(this, [this, simulate, imagePath] { startBuild(simulate, imagePath); });
        return;
    }
    BuildRequest request = makeBuildRequest(*services_.settings, *services_.project, overrides(simulate, imagePath),
                                            appFolders().programDir, services_.engine);
    if (!request.ok()) {
        services_.engine.showText(request.error);
        return;
    }
    for (const std::string& notice : request.notices) services_.engine.showText(notice);
    const bool image = request.inputs.options.outputTarget == OutputTarget::ImageFile;
    if (!image) request.recorder = services_.recorders->prepareBurn(request.recording);

    auto job = request.makeJob();
    auto* window = new ProgressWindow(job, simulate, image, this);
    window->setPrompt(services_.engine.prompt);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowModality(Qt::ApplicationModal);
    progress_ = window;
    window->show();
    services_.worker->start(job, request.inputs, services_.makePipeline(request.recorder));
}

}  // namespace tellavine::ui
