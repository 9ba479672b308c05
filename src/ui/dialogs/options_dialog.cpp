#include "ui/dialogs/options_dialog.h"

#include "platform/folders.h"
#include "project/messages.h"
#include "ui/dialogs/folder_browser.h"
#include "ui/pages/recorder_access.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace tellavine::ui {
namespace {

constexpr int kMaxWaitTime = 120;
constexpr int kMaxFolderLength = 255;

QString withSeparator(const QString& folder) {
    return QString::fromStdString(withTrailingSeparator(folder.toStdString()));
}

}  // namespace

OptionsDialog::OptionsDialog(const OptionsValues& values, QWidget* parent) : QDialog(parent), values_(values) {
    setObjectName(QStringLiteral("optionsDialog"));
    setWindowTitle(tr("Options"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    chooseFolder = [this](const QString& start) { return FolderBrowser(this).browse(start); };

    waitTime_ = new QSpinBox(this);  // 1036 with its spin 1078
    waitTime_->setObjectName(QStringLiteral("waitTime"));
    waitTime_->setRange(0, kMaxWaitTime);
    waitTime_->setValue(std::clamp(values.waitTime, 0, kMaxWaitTime));
    waitTime_->setToolTip(tr("The play time of each photo in albums made from now on"));
    folder_ = new QLineEdit(QString::fromStdString(values.tempDir), this);  // 1088
    folder_->setObjectName(QStringLiteral("tempFolder"));
    folder_->setMaxLength(kMaxFolderLength);
    auto* browse = new QPushButton(tr("..."), this);  // 1089
    browse->setObjectName(QStringLiteral("browse"));
    browse->setFixedWidth(36);
    writingMode_ = new QComboBox(this);  // 1090
    writingMode_->setObjectName(QStringLiteral("writingMode"));
    writingMode_->addItems({tr("Auto Detected"), tr("SCSI-3 MMC"), tr("SCSI-3 MMC(Raw Mode)")});
    writingMode_->setCurrentIndex(std::clamp(values.driver, 0, writingMode_->count() - 1));

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(tr("Default wait time after playing the slide show"), this), 0, 0, 1, 3);
    auto* waitRow = new QHBoxLayout;
    waitRow->addWidget(waitTime_);
    waitRow->addWidget(new QLabel(tr("seconds"), this));
    waitRow->addStretch();
    grid->addLayout(waitRow, 1, 0, 1, 3);
    grid->addWidget(new QLabel(tr("Temporary Folder:"), this), 2, 0, 1, 3);
    grid->addWidget(folder_, 3, 0, 1, 2);
    grid->addWidget(browse, 3, 2);
    grid->addWidget(new QLabel(tr("CD Recorder Writing Mode:"), this), 4, 0, 1, 3);
    grid->addWidget(writingMode_, 5, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setVerticalSpacing(6);
    grid->setRowMinimumHeight(2, 28);
    grid->setRowMinimumHeight(4, 28);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &OptionsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(browse, &QPushButton::clicked, this, &OptionsDialog::browseFolder);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(8);
    layout->addWidget(buttons);
    setMinimumWidth(420);
}

void OptionsDialog::browseFolder() {
    // The picker starts at the folder without its trailing separator; the root stays "/".
    const QString typed = folder_->text().trimmed();
    const QString start = typed.isEmpty() ? QString() : QDir::cleanPath(typed);
    if (const auto chosen = chooseFolder(start)) folder_->setText(withSeparator(*chosen));
}

void OptionsDialog::accept() {
    values_.waitTime = waitTime_->value();
    const QString folder = folder_->text().trimmed();
    values_.tempDir = folder.isEmpty() ? std::string() : withTrailingSeparator(folder.toStdString());
    values_.driver = writingMode_->currentIndex();
    QDialog::accept();
}

OptionsValues OptionsDialog::values() const {
    return values_;
}

bool runOptionsDialog(QWidget* parent, AppSettings& settings, Project& project, RecorderAccess& recorders) {
    OptionsDialog dialog({settings.driver, settings.tempDir, settings.waitTime, settings.useAspi}, parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    const OptionsValues chosen = dialog.values();
    const int oldDriver = settings.driver;
    applyOptions(settings, project, chosen.driver, chosen.tempDir, chosen.waitTime, chosen.useAspi);
    // The driver object belongs to one writing mode; a new mode needs a new one.
    if (chosen.driver != oldDriver && !recorders.devices().empty()) {
        recorders.selectRecorder(settings.recorder, settings.driver);
    }
    return true;
}

}  // namespace tellavine::ui
