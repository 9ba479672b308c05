#pragma once
// "Add Text": edits one caption (text, colours, shadow, font, alignment) with a preview.
// OK with an empty text says "Please enter some text for the picture(s)." and stays open.
// The dialog returns the alignment as chosen; the caller decides what a returned
// "User Defined" means (see PhotoViewerDialog).

#include "project/messages.h"
#include "project/model.h"

#include <QDialog>
#include <QFont>

#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace tellavine::ui {

class CaptionPreview;
class ColourButton;

class AddTextDialog : public QDialog {
    Q_OBJECT
public:
    explicit AddTextDialog(const SlideCaption& caption, QWidget* parent = nullptr);

    // The edited caption (after exec() returned Accepted).
    SlideCaption caption() const;

    // Where the empty-text message goes (Qt message boxes unless set).
    void setServices(EngineServices services) { services_ = std::move(services); }
    // "Font...": the font dialog on `initial`; replaced in tests. Nothing means Cancel.
    std::function<std::optional<QFont>(const QFont& initial)> chooseFont;

    QLineEdit* textEdit() const { return textEdit_; }
    ColourButton* textColourButton() const { return textColour_; }
    ColourButton* shadowColourButton() const { return shadowColour_; }
    QCheckBox* shadowBox() const { return shadow_; }
    QComboBox* alignList() const { return align_; }
    CaptionPreview* preview() const { return preview_; }

    void accept() override;

private:
    void chooseCaptionFont();
    void refreshPreview();

    SlideCaption caption_;  // font, point size and position; the rest lives in the controls
    EngineServices services_;
    QLineEdit* textEdit_;
    ColourButton* textColour_;
    QCheckBox* shadow_;
    ColourButton* shadowColour_;
    QComboBox* align_;
    CaptionPreview* preview_;
};

}  // namespace tellavine::ui
