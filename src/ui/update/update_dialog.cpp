#include "ui/update/update_dialog.h"

#include "project/messages.h"
#include "ui/controls/hyperlink_static.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QUrl>

namespace tellavine::ui {

UpdateDialog::UpdateDialog(UpdateCheckSetup setup, QWidget* parent) : QDialog(parent), setup_(std::move(setup)) {
    setObjectName(QStringLiteral("updateDialog"));
    setWindowTitle(tr("Check For New Version of Tellavine"));
    auto* newsCaption = new QLabel(tr("News:"), this);
    news_ = new QLabel(this);
    news_->setObjectName(QStringLiteral("news"));
    news_->setWordWrap(true);
    news_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    news_->setFrameShape(QFrame::StyledPanel);
    news_->setMinimumSize(360, 110);
    news_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    websiteLabel_ = new QLabel(tr("Website:"), this);
    websiteLabel_->setObjectName(QStringLiteral("websiteLabel"));
    link_ = new HyperlinkStatic(QString::fromStdString(setup_.serverAddress), this);
    link_->setObjectName(QStringLiteral("link"));
    link_->setAutoSize(false);
    link_->setTarget(QString::fromStdString(updateServerFile(setup_.serverAddress, "update.html")));
    link_->setColours(QColor(100, 0, 0), QColor(20, 20, 255));
    close_ = new QPushButton(tr("&Close"), this);
    close_->setObjectName(QStringLiteral("close"));
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);

    // The news area and the link show texts of their own.
    const DialogTexts texts = applyDialogTexts("NEW_VERSION_DIALOG", {kWebsiteLabelId, kCloseId});
    if (!texts.title.empty()) setWindowTitle(QString::fromStdString(texts.title));
    for (const auto& [id, text] : texts.controls) {
        const QString value = QString::fromStdString(text);
        if (id == kWebsiteLabelId) websiteLabel_->setText(value);
        if (id == kCloseId) close_->setText(value);
    }

    auto* grid = new QGridLayout(this);
    grid->addWidget(newsCaption, 0, 0, 1, 2);
    grid->addWidget(news_, 1, 0, 1, 2);
    grid->addWidget(websiteLabel_, 2, 0);
    grid->addWidget(link_, 2, 1);
    grid->addWidget(close_, 3, 1, Qt::AlignRight);
    grid->setColumnStretch(1, 1);
    websiteLabel_->hide();
    link_->hide();

    download_ = new VersionDownload(this);
    connect(download_, &VersionDownload::finished, this, &UpdateDialog::downloaded);
}

void UpdateDialog::startCheck() {
    news_->setText(QString::fromStdString(checkingText()));
    download_->start(QUrl(QString::fromStdString(updateServerFile(setup_.serverAddress, "version.ini"))),
                     QString::fromStdString(setup_.cacheDir + "version.ini"), setup_.limits);
}

QString UpdateDialog::news() const {
    return news_->text();
}

bool UpdateDialog::linkShown() const {
    return !link_->isHidden();
}

void UpdateDialog::showLink() {
    websiteLabel_->show();
    link_->show();
}

void UpdateDialog::downloaded(const QString& error) {
    if (!error.isEmpty()) {
        news_->setText(QString::fromStdString(checkFailedText(setup_.serverAddress, error.toStdString())));
    } else if (const ReleaseNumber offered = readVersionFile(setup_.cacheDir + "version.ini");
               isNewerRelease(offered, setup_.running)) {
        news_->setText(QString::fromStdString(newReleaseText(offered)));
        showLink();
    } else {
        news_->setText(QString::fromStdString(latestReleaseText()));
    }
    emit checkEnded();
}

}  // namespace tellavine::ui
