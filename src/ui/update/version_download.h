#pragma once
// The one transfer of the update check: an HTTP(S) GET of the server's version.ini into
// a local file, on the UI thread's event loop (Qt Network does the waiting). A transfer
// is bounded: it ends after a time-out, once the file grows past a size limit, and after
// a few redirects (never from https to http). Destroying the object cancels it, and
// then nothing is reported.

#include <QNetworkAccessManager>
#include <QObject>
#include <QTimer>

class QNetworkReply;

namespace tellavine::ui {

struct DownloadLimits {
    qint64 maxBytes = 64 * 1024;  // version.ini is a few lines
    int timeoutMs = 20000;        // the whole transfer
    int maxRedirects = 3;
};

class VersionDownload : public QObject {
    Q_OBJECT
public:
    explicit VersionDownload(QObject* parent = nullptr);
    ~VersionDownload() override;

    // Starts the transfer of `url` into `localPath` (created or replaced, its folder made).
    void start(const QUrl& url, const QString& localPath, const DownloadLimits& limits = {});

signals:
    // Empty on success, else why the file could not be fetched or written.
    void finished(const QString& error);

private:
    void received();
    void checkAnnouncedSize();
    void transferEnded();
    void stop(const QString& reason);

    QNetworkAccessManager manager_;
    QNetworkReply* reply_ = nullptr;
    QTimer deadline_;
    DownloadLimits limits_;
    QString localPath_;
    QByteArray content_;
    QString stopReason_;  // why we ended the transfer ourselves
};

}  // namespace tellavine::ui
