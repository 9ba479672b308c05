#pragma once
// "Check For New Version of Tellavine": fetches version.ini from the update server into
// the cache folder, compares its release with the running one and says whether a newer
// release exists, with a link to the server's download page. Closing the dialog while
// the transfer runs cancels it; nothing is reported afterwards.

#include "ui/update/release_check.h"
#include "ui/update/version_download.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace tellavine::ui {

class HyperlinkStatic;

struct UpdateCheckSetup {
    std::string serverAddress;  // the [Update] Url setting, an http(s) address
    std::string cacheDir;       // where version.ini is written, ends in '/'
    ReleaseNumber running = runningRelease();
    DownloadLimits limits;
};

class UpdateDialog : public QDialog {
    Q_OBJECT
public:
    // Control ids, as the text table names them under "NEW_VERSION_DIALOG".
    enum ControlId : int { kNewsId = 1084, kWebsiteLabelId = 1085, kLinkId = 1086, kCloseId = 1087 };

    explicit UpdateDialog(UpdateCheckSetup setup, QWidget* parent = nullptr);

    // Starts the check (shows "Checking..." until the answer comes).
    void startCheck();
    QString news() const;
    bool linkShown() const;
    HyperlinkStatic* link() const { return link_; }

signals:
    void checkEnded();

private:
    void downloaded(const QString& error);
    void showLink();

    UpdateCheckSetup setup_;
    VersionDownload* download_ = nullptr;
    QLabel* news_ = nullptr;
    QLabel* websiteLabel_ = nullptr;
    HyperlinkStatic* link_ = nullptr;
    QPushButton* close_ = nullptr;
};

}  // namespace tellavine::ui
