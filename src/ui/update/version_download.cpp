#include "ui/update/version_download.h"

#include "platform/file_replace.h"
#include "platform/folders.h"
#include "tellavine_version.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QNetworkReply>
#include <QNetworkRequest>

#include <cstring>
#include <span>

namespace tellavine::ui {
namespace {

QString sizeLimitReason(qint64 maxBytes) {
    return QCoreApplication::translate("Tellavine", "The version file is larger than %1 KiB.").arg(maxBytes / 1024);
}

}  // namespace

VersionDownload::VersionDownload(QObject* parent) : QObject(parent) {
    deadline_.setSingleShot(true);
    connect(&deadline_, &QTimer::timeout, this, [this] {
        stop(QCoreApplication::translate("Tellavine", "The server did not answer within %1 seconds.").arg(limits_.timeoutMs / 1000.0));
    });
}

VersionDownload::~VersionDownload() {
    if (!reply_) return;
    // Nothing is reported from here on: the owner is going away.
    reply_->disconnect(this);
    reply_->abort();
    delete reply_;
}

void VersionDownload::start(const QUrl& url, const QString& localPath, const DownloadLimits& limits) {
    limits_ = limits;
    localPath_ = localPath;
    content_.clear();
    stopReason_.clear();
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(limits.maxRedirects);
    request.setHeader(QNetworkRequest::UserAgentHeader,
                      QStringLiteral("Tellavine/%1").arg(QString::fromLatin1(kProgramVersionText)));
    reply_ = manager_.get(request);
    connect(reply_, &QNetworkReply::metaDataChanged, this, &VersionDownload::checkAnnouncedSize);
    connect(reply_, &QNetworkReply::readyRead, this, &VersionDownload::received);
    connect(reply_, &QNetworkReply::finished, this, &VersionDownload::transferEnded);
    deadline_.start(limits.timeoutMs);
}

void VersionDownload::checkAnnouncedSize() {
    const QVariant length = reply_->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > limits_.maxBytes) stop(sizeLimitReason(limits_.maxBytes));
}

void VersionDownload::received() {
    // Only what fits under the limit is kept; one byte more proves the file too large.
    content_ += reply_->read(limits_.maxBytes + 1 - content_.size());
    if (content_.size() > limits_.maxBytes) stop(sizeLimitReason(limits_.maxBytes));
}

void VersionDownload::stop(const QString& reason) {
    if (!reply_ || !stopReason_.isEmpty()) return;
    stopReason_ = reason;
    reply_->abort();  // emits finished, which reports the reason
}

void VersionDownload::transferEnded() {
    deadline_.stop();
    QNetworkReply* reply = reply_;
    reply_ = nullptr;
    reply->deleteLater();
    if (!stopReason_.isEmpty()) return emit finished(stopReason_);
    if (reply->error() != QNetworkReply::NoError) return emit finished(reply->errorString());
    if (content_.size() <= limits_.maxBytes) content_ += reply->read(limits_.maxBytes + 1 - content_.size());
    if (content_.size() > limits_.maxBytes) return emit finished(sizeLimitReason(limits_.maxBytes));

    makeSureFolderExists(QFileInfo(localPath_).absolutePath().toStdString());
    const auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(content_.constData()),
                                 static_cast<std::size_t>(content_.size()));
    if (const int error = replaceFileContent(localPath_.toStdString(), bytes); error != 0) {
        return emit finished(QCoreApplication::translate("Tellavine", "Cannot write %1: %2").arg(localPath_, QString::fromLocal8Bit(std::strerror(error))));
    }
    emit finished(QString());
}

}  // namespace tellavine::ui
