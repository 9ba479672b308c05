#include "ui/dialogs/add_text_dialog.h"

#include "ui/app/qt_prompt.h"
#include "ui/controls/colour_button.h"
#include "ui/controls/utf8_limit_validator.h"
#include "ui/dialogs/caption_font.h"
#include "ui/dialogs/caption_preview.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tellavine::ui {

namespace {

// Exactly what the project keeps (in bytes of UTF-8), so that nothing typed or chosen is
// cut when it is stored, and opening the dialog and pressing OK never cuts a stored caption.
constexpr int kMaxCaptionTextLength = static_cast<int>(kMaxTextLength);
constexpr CaptionAlign kAlignments[] = {
    CaptionAlign::TopLeft,    CaptionAlign::TopCenter,    CaptionAlign::TopRight,    CaptionAlign::BottomLeft,
    CaptionAlign::BottomCenter, CaptionAlign::BottomRight, CaptionAlign::UserDefined,
};

}  // namespace

AddTextDialog::AddTextDialog(const SlideCaption& caption, QWidget* parent)
    : QDialog(parent),
      caption_(caption),
      textEdit_(new QLineEdit(this)),
      textColour_(new ColourButton(this)),
      shadow_(new QCheckBox(tr("Enable Shadow"), this)),
      shadowColour_(new ColourButton(this)),
      align_(new QComboBox(this)),
      preview_(new CaptionPreview(this)) {
    setObjectName(QStringLiteral("addTextDialog"));
    setWindowTitle(tr("Add Text"));
    services_.prompt = std::make_shared<QtPrompt>();
    chooseFont = [this](const QFont& initial) -> std::optional<QFont> {
        bool ok = false;
        const QFont font = QFontDialog::getFont(&ok, initial, this, tr("Font"));
        return ok ? std::optional<QFont>(font) : std::nullopt;
    };

    textEdit_->setObjectName(QStringLiteral("textEdit"));
    textEdit_->setMaxLength(kMaxCaptionTextLength);
    textEdit_->setValidator(new Utf8LimitValidator(kMaxCaptionTextLength, textEdit_));
    textEdit_->setText(QString::fromStdString(caption.text));
    textEdit_->setMinimumWidth(340);
    textColour_->setObjectName(QStringLiteral("textColour"));
    textColour_->setColour(caption.textColour);
    shadow_->setObjectName(QStringLiteral("shadow"));
    shadow_->setChecked(caption.shadow);
    shadowColour_->setObjectName(QStringLiteral("shadowColour"));
    shadowColour_->setColour(caption.shadowColour);
    align_->setObjectName(QStringLiteral("align"));
    for (const CaptionAlign align : kAlignments) align_->addItem(tr(captionAlignLabel(align)));
    const int alignIndex = static_cast<int>(caption.align);
    align_->setCurrentIndex(alignIndex >= 0 && alignIndex < align_->count() ? alignIndex
                                                                           : static_cast<int>(CaptionAlign::UserDefined));
    preview_->setObjectName(QStringLiteral("preview"));
    auto* font = new QPushButton(tr("Font..."), this);
    font->setObjectName(QStringLiteral("font"));
    font->setAutoDefault(false);

    connect(textEdit_, &QLineEdit::textChanged, this, &AddTextDialog::refreshPreview);
    connect(textColour_, &ColourButton::colourChanged, this, &AddTextDialog::refreshPreview);
    connect(shadowColour_, &ColourButton::colourChanged, this, &AddTextDialog::refreshPreview);
    connect(shadow_, &QCheckBox::toggled, this, &AddTextDialog::refreshPreview);
    connect(font, &QPushButton::clicked, this, &AddTextDialog::chooseCaptionFont);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &AddTextDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &AddTextDialog::reject);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(tr("Text:"), this), 0, 0);
    grid->addWidget(textEdit_, 0, 1, 1, 4);
    grid->addWidget(new QLabel(tr("Text Color"), this), 1, 0);
    grid->addWidget(textColour_, 1, 1);
    grid->addWidget(shadow_, 1, 2);
    grid->addWidget(new QLabel(tr("Shadow Color"), this), 1, 3, Qt::AlignRight);
    grid->addWidget(shadowColour_, 1, 4);
    grid->addWidget(new QLabel(tr("Align:"), this), 2, 0);
    grid->addWidget(align_, 2, 1, 1, 2);
    grid->addWidget(font, 2, 4);
    grid->setColumnStretch(2, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(preview_, 1);
    layout->addWidget(buttons);
    refreshPreview();
}

SlideCaption AddTextDialog::caption() const {
    SlideCaption edited = caption_;
    edited.text = textEdit_->text().toStdString();
    edited.textColour = textColour_->colour();
    edited.shadow = shadow_->isChecked();
    edited.shadowColour = shadowColour_->colour();
    edited.align = static_cast<CaptionAlign>(align_->currentIndex());
    return edited;
}

void AddTextDialog::chooseCaptionFont() {
    const auto chosen = chooseFont(captionQFont(caption_.font));
    if (!chosen) return;
    caption_.font = captionLogFont(*chosen, caption_.font);
    caption_.pointSize = captionPointSizeTenths(*chosen);
    refreshPreview();
}

void AddTextDialog::refreshPreview() {
    preview_->setCaption(caption());
}

void AddTextDialog::accept() {
    if (textEdit_->text().isEmpty()) {
        services_.showText(tr("Please enter some text for the picture(s).").toStdString());
        textEdit_->setFocus();
        return;
    }
    QDialog::accept();
}

}  // namespace tellavine::ui
