#include "ui/pages/template_list.h"

#include "compose/menu_page.h"
#include "compose/menu_template.h"
#include "platform/text.h"
#include "ui/dialogs/picture_image.h"

#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>

namespace tellavine::ui {
namespace {
constexpr int kSpacingWidth = 136;
constexpr int kSpacingHeight = 116;
}  // namespace

TemplateList::TemplateList(QWidget* parent) : QListWidget(parent) {
    setViewMode(QListView::IconMode);
    setIconSize(QSize(kTemplateThumbnailWidth, kTemplateThumbnailHeight));
    setGridSize(QSize(kSpacingWidth, kSpacingHeight));
    setMovement(QListView::Static);
    setResizeMode(QListView::Adjust);
    setWrapping(true);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // One column of thumbnails beside a scroll bar.
    setFixedWidth(kSpacingWidth + style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2 * frameWidth() + 6);
    connect(this, &QListWidget::itemSelectionChanged, this, [this] {
        const QList<QListWidgetItem*> selected = selectedItems();
        if (!selected.isEmpty()) emit templateChosen(selected.front()->data(Qt::UserRole).toString());
    });
}

void TemplateList::fill(const std::string& programDir) {
    const QSignalBlocker quiet(this);
    clear();
    for (const TemplateEntry& entry : listTemplates(programDir)) {
        Picture thumbnail = Picture::create(kTemplateThumbnailWidth, kTemplateThumbnailHeight);
        drawTemplateThumbnail(thumbnail, {0, 0, kTemplateThumbnailWidth, kTemplateThumbnailHeight}, programDir,
                              entry.fileName, {});
        auto* item = new QListWidgetItem(QIcon(QPixmap::fromImage(toQImage(thumbnail))),
                                         QString::fromStdString(entry.name), this);
        item->setData(Qt::UserRole, QString::fromStdString(entry.fileName));
        item->setToolTip(QString::fromStdString(entry.name));
    }
}

QString TemplateList::fileName(int row) const {
    const QListWidgetItem* entry = item(row);
    return entry ? entry->data(Qt::UserRole).toString() : QString();
}

int TemplateList::rowOf(const QString& name) const {
    for (int row = 0; row < count(); ++row) {
        if (fileNamesEqualIgnoreCase(fileName(row).toStdString(), name.toStdString())) return row;
    }
    return -1;
}

void TemplateList::showChosen(const QString& name) {
    const QSignalBlocker quiet(this);
    const int row = rowOf(name);
    if (row < 0) {
        clearSelection();
        return;
    }
    setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
}

}  // namespace tellavine::ui
