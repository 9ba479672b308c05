#pragma once
// The Options dialog: the default play time of new albums, the temporary folder (picked
// with the folder browser) and the recorder's writing mode. The ASPI choice means
// nothing on this system; its value passes through unchanged and no box is shown.

#include "project/model.h"
#include "project/settings.h"

#include <QDialog>

#include <functional>
#include <optional>
#include <string>

class QComboBox;
class QLineEdit;
class QSpinBox;

namespace tellavine::ui {

class RecorderAccess;

struct OptionsValues {
    int driver = 0;       // writing mode: 0 automatic, 1 MMC, 2 MMC raw
    std::string tempDir;  // ends in '/' once the dialog returned it
    int waitTime = kDefaultPlayTimeSeconds;
    int useAspi = 0;
};

class OptionsDialog : public QDialog {
    Q_OBJECT
public:
    explicit OptionsDialog(const OptionsValues& values, QWidget* parent = nullptr);

    // After exec() == Accepted.
    OptionsValues values() const;

    // The "..." button: asks the folder browser for a folder starting at `start`;
    // replaceable in tests. Nothing = cancelled.
    std::function<std::optional<QString>(const QString& start)> chooseFolder;
    void browseFolder();

    QSpinBox* waitTimeBox() const { return waitTime_; }
    QLineEdit* folderEdit() const { return folder_; }
    QComboBox* writingModeList() const { return writingMode_; }

public slots:
    void accept() override;

private:
    OptionsValues values_;
    QSpinBox* waitTime_ = nullptr;
    QLineEdit* folder_ = nullptr;
    QComboBox* writingMode_ = nullptr;
};

// The main window's "Options..." command: opens the dialog on the settings and, on OK,
// applies it (albums still at the old default play time get the new one) and makes the
// recorder driver again when the writing mode changed. True when OK was chosen.
bool runOptionsDialog(QWidget* parent, AppSettings& settings, Project& project, RecorderAccess& recorders);

}  // namespace tellavine::ui
