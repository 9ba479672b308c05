#pragma once
// The disc menu page's template list: every installed template as its 128 x 96
// thumbnail (drawn by the menu composition) with its name below, in icon mode. Each
// item keeps its description file's name.

#include <QListWidget>

#include <string>

namespace tellavine::ui {

inline constexpr int kTemplateThumbnailWidth = 128;
inline constexpr int kTemplateThumbnailHeight = 96;

class TemplateList : public QListWidget {
    Q_OBJECT
public:
    explicit TemplateList(QWidget* parent = nullptr);

    // Lists the templates of `programDir` afresh.
    void fill(const std::string& programDir);
    // Marks the item of `fileName` (letter case ignored) as the current template without
    // reporting a choice; clears the mark when no item has it.
    void showChosen(const QString& fileName);
    // The description file name of row `row`.
    QString fileName(int row) const;
    int rowOf(const QString& fileName) const;

signals:
    // The user selected the template kept in `fileName`.
    void templateChosen(const QString& fileName);
};

}  // namespace tellavine::ui
