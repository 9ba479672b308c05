#pragma once
// The burn page: the disc options of a build (TV standard, aspect correction, cropping,
// volume label, extra files, output) bound to the settings, the recorder actions, and
// Burn and Simulate, which check the output and start the build under the progress
// window.

#include "pipeline/build_driver.h"
#include "pipeline/build_request.h"
#include "ui/pages/build_worker.h"
#include "project/settings.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;

namespace tellavine::ui {

class BuildWorker;
class ImageButton;
class ProgressWindow;
class RecorderAccess;

enum BurnCommand : int {
    kEraseCommand = 38001,
    kEjectCommand = 38002,
    kCloseTrayCommand = 38003,
    kSimulateCommand = 38004,
    kBurnCommand = 38005,
};

struct BurnPageServices {
    AppSettings* settings = nullptr;
    Project* project = nullptr;
    RecorderAccess* recorders = nullptr;
    BuildWorker* worker = nullptr;
    PipelineFactory makePipeline;
    // The disc size estimate of the main window, in sectors.
    std::function<long long()> estimateSectors;
    EngineServices engine;  // message boxes and run log, for the page and its builds
};

// A save-dialog name without an extension gets ".cue"; others stay as typed.
QString withCueExtension(const QString& path);

class CPageBurn : public QWidget {
    Q_OBJECT
public:
    CPageBurn(BurnPageServices services, QWidget* parent = nullptr);

    // Fills the recorder list (after the main window set the recorders up).
    void setRecorderList(const QStringList& recorders, int selected);

    void burn();
    void simulate();

    bool imageOutput() const;
    void setImageOutput(bool image);
    QLineEdit* imagePathEdit() const { return imagePath_; }
    ProgressWindow* progressWindow() const;
    ImageButton* actionButton(int command) const;

    // Asks for the image path (by default with the save dialog, askImagePath); replaced
    // in tests. Empty = Cancel.
    std::function<QString()> chooseImagePath;
    QString askImagePath();

signals:
    // The extra-file choices changed, so the disc estimate did.
    void estimateChanged();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* makeTvGroup();
    QWidget* makeDiscGroup();
    QWidget* makeOutputGroup();
    QWidget* makeActionColumn();
    void fillFromSettings();
    void updateOutputControls();
    void updateTvNotes();
    void browseImagePath();
    bool projectHasPhotos();  // false after telling what to add
    bool checkDiscBeforeRecording();
    bool discHasRoom();
    BuildOverrides overrides(bool simulate, const std::string& imagePath) const;
    void startBuild(bool simulate, const std::string& imagePath);
    long long freeSectors_ = 0;  // of the blank disc the last check found

    BurnPageServices services_;
    QRadioButton* pal_ = nullptr;
    QRadioButton* ntsc_ = nullptr;
    QLabel* tvNotes_ = nullptr;
    QComboBox* aspect_ = nullptr;
    QSlider* cropping_ = nullptr;
    QLabel* croppingLabel_ = nullptr;
    QLineEdit* volumeLabel_ = nullptr;
    QCheckBox* photoFiles_ = nullptr;
    QCheckBox* audioFiles_ = nullptr;
    QRadioButton* recorderOutput_ = nullptr;
    QRadioButton* imageOutput_ = nullptr;
    QComboBox* recorderList_ = nullptr;
    QLabel* speedLabel_ = nullptr;
    QComboBox* speed_ = nullptr;
    QCheckBox* burnProof_ = nullptr;
    QLineEdit* imagePath_ = nullptr;
    QPushButton* browse_ = nullptr;
    std::vector<ImageButton*> actions_;
    QPointer<ProgressWindow> progress_;
};

}  // namespace tellavine::ui
