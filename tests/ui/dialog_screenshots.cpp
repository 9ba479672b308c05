// Pictures of the editor's dialogs for the screenshot program: Album Name, Album
// Properties, Add Text and the photo viewer (with a caption under the pointer, full
// screen, and in single mode).

#include "dialog_screenshots.h"

#include "ui/dialogs/add_text_dialog.h"
#include "ui/dialogs/album_name_dialog.h"
#include "ui/dialogs/album_properties_dialog.h"
#include "ui/dialogs/photo_viewer_dialog.h"

#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QTest>

namespace tellavine::testing {

namespace {

// A landscape with sky, sun and hills: something photo-like to look at.
QImage drawLandscape(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(70, 130, 210));
    sky.setColorAt(0.6, QColor(250, 200, 150));
    painter.fillRect(image.rect(), sky);
    painter.setBrush(QColor(255, 230, 120));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPointF(size.width() * 0.7, size.height() * 0.35), size.height() * 0.1, size.height() * 0.1);
    painter.setBrush(QColor(60, 120, 60));
    painter.drawEllipse(QRectF(-size.width() * 0.2, size.height() * 0.55, size.width() * 0.9, size.height() * 0.8));
    painter.setBrush(QColor(40, 95, 50));
    painter.drawEllipse(QRectF(size.width() * 0.35, size.height() * 0.62, size.width() * 0.9, size.height() * 0.8));
    return image;
}

template <typename Dialog>
bool shoot(Dialog& dialog, const QString& file) {
    dialog.show();
    if (!QTest::qWaitForWindowExposed(&dialog)) return false;
    QTest::qWait(50);
    const bool saved = dialog.grab().save(file);
    dialog.hide();
    return saved;
}

}  // namespace

bool shootDialogs(const QString& out, const std::string& folder) {
    Project project;
    project.addAlbum("Summer 2026");
    project.addAlbum("Grandma's 80th");
    for (int i = 0; i < 3; ++i) {
        const std::string path = folder + "landscape" + std::to_string(i) + ".jpg";
        drawLandscape(i == 1 ? QSize(900, 1200) : QSize(1600, 1200)).save(QString::fromStdString(path), "JPG");
        project.addSlide(0, path, "landscape" + std::to_string(i) + ".jpg", 0);
    }
    project.setAlbumProperties(0, "Summer 2026", 6, "");
    project.album(0).musicPath = "/home/user/Music/Summer Breeze.mp3";
    SlideCaption caption;
    caption.text = "Evening on the hills";
    project.setCaption(*project.album(0).slides[0], caption);

    bool ok = true;
    {
        ui::AlbumNameDialog dialog(project, QStringLiteral("Summer 2026"), 0);
        ok &= shoot(dialog, out + QStringLiteral("/dialog_album_name.png"));
    }
    {
        ui::AlbumPropertiesDialog dialog(project, 0);
        ok &= shoot(dialog, out + QStringLiteral("/dialog_album_properties.png"));
    }
    {
        SlideCaption edited = caption;
        edited.textColour = makeColourRef(255, 230, 120);
        edited.font.height = -28;
        ui::AddTextDialog dialog(edited);
        ok &= shoot(dialog, out + QStringLiteral("/dialog_add_text.png"));
    }
    {
        ui::PhotoViewerDialog viewer(project, 0, 0);
        viewer.resize(900, 600);
        viewer.show();
        if (!QTest::qWaitForWindowExposed(&viewer)) return false;
        QTest::qWait(50);
        // The pointer over the caption shows its focus rectangle.
        QTest::mouseMove(viewer.pictureArea(), viewer.captionRect().center());
        QTest::qWait(50);
        ok &= viewer.grab().save(out + QStringLiteral("/dialog_photo_viewer.png"));
        // Full screen, with its floating bar: the whole screen.
        viewer.setFullScreenView(true);
        QTest::qWait(300);
        ok &= viewer.screen()->grabWindow(0).save(out + QStringLiteral("/dialog_photo_viewer_full_screen.png"));
        viewer.setFullScreenView(false);
        viewer.hide();
    }
    {
        ui::PhotoViewerDialog viewer(QString::fromStdString(folder + "landscape1.jpg"));
        ok &= shoot(viewer, out + QStringLiteral("/dialog_photo_viewer_single.png"));
    }
    return ok;
}

}  // namespace tellavine::testing
