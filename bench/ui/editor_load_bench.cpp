// How long the UI thread is blocked while the album editor browses a folder of large
// photos: the folder is listed and its thumbnails are made in the background while a
// 5 ms timer on the UI thread records every gap between its ticks. The longest gap,
// less the timer's own 5 ms, is the longest time the page did not respond.
// browse_call is the UI thread's share of opening the folder, list_folder the time until
// the files are in the list, thumbnails_total the time until every thumbnail is shown.
//
// Usage: editor_load_bench [photos (2000)] [width (4000)] [height (3000)] [folder]
// The photos are generated (a few distinct 12-megapixel JPEGs, linked under many names)
// into a temporary folder, or into `folder` when given (kept for the next run). Run it
// at low priority on a shared machine:  nice -n 19 build/default/bin/editor_load_bench
// Prints "name value unit" lines.

#include "platform/folders.h"
#include "project/settings.h"
#include "ui/pages/editor_file_browser.h"
#include "ui/pages/page_editor.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <vector>

using namespace tellavine;
using namespace tellavine::ui;

namespace {

constexpr int kDistinctPhotos = 4;
constexpr int kTickMs = 5;

// A photo-like picture: gradients and shapes, so that the JPEG is of a usual size.
QImage makePhoto(int width, int height, int variant) {
    QImage image(width, height, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient sky(0, 0, 0, height);
    sky.setColorAt(0, QColor::fromHsv((40 * variant) % 360, 120, 230));
    sky.setColorAt(1, QColor::fromHsv((40 * variant + 180) % 360, 160, 90));
    p.fillRect(image.rect(), sky);
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 60; ++i) {
        p.setBrush(QColor::fromHsv((i * 37 + variant * 11) % 360, 140, 200, 160));
        p.setPen(Qt::NoPen);
        const int r = (i * 97 % 400) + 40;
        p.drawEllipse(QPoint((i * 733 + variant * 101) % width, (i * 389) % height), r, r * 2 / 3);
    }
    return image;
}

bool prepareFolder(const QString& folder, int count, int width, int height) {
    QDir().mkpath(folder);
    std::vector<QString> originals;
    for (int v = 0; v < kDistinctPhotos; ++v) {
        const QString path = QDir(folder).filePath(QStringLiteral("IMG_%1.jpg").arg(v + 1, 4, 10, QLatin1Char('0')));
        if (!QFileInfo::exists(path) && !makePhoto(width, height, v).save(path, "JPG", 90)) return false;
        originals.push_back(path);
    }
    for (int i = kDistinctPhotos; i < count; ++i) {
        const QString path = QDir(folder).filePath(QStringLiteral("IMG_%1.jpg").arg(i + 1, 4, 10, QLatin1Char('0')));
        if (QFileInfo::exists(path)) continue;
        std::error_code error;
        const auto& original = originals[static_cast<std::size_t>(i % kDistinctPhotos)];
        std::filesystem::create_hard_link(original.toStdString(), path.toStdString(), error);
        if (error && !QFile::copy(original, path)) return false;
    }
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 2000;
    const int width = argc > 2 ? std::atoi(argv[2]) : 4000;
    const int height = argc > 3 ? std::atoi(argv[3]) : 3000;
    QTemporaryDir scratch;
    const QString folder = argc > 4 ? QString::fromLocal8Bit(argv[4]) : scratch.path() + QStringLiteral("/photos");
    AppFolders folders;
    folders.programDir = scratch.path().toStdString() + "/";
    folders.settingsDir = folders.programDir;
    folders.defaultTempDir = folders.programDir + "Temp/";
    setAppFolders(folders);

    QElapsedTimer clock;
    clock.start();
    if (!prepareFolder(folder, count, width, height)) {
        std::fprintf(stderr, "editor_load_bench: cannot write the photos into %s\n", qPrintable(folder));
        return 1;
    }
    std::printf("photos %d\nphoto_size %dx%d pixels\ngenerate %lld ms\n", count, width, height,
                static_cast<long long>(clock.elapsed()));

    Project project;
    AppSettings settings;
    CPageEditor page({&project, &settings, EngineServices{}});
    page.resize(1280, 760);
    page.show();
    QCoreApplication::processEvents();

    // The UI thread's heartbeat: every gap between ticks is recorded.
    std::vector<qint64> gaps;
    QElapsedTimer beat;
    QTimer heart;
    heart.setTimerType(Qt::PreciseTimer);
    heart.setInterval(kTickMs);
    QObject::connect(&heart, &QTimer::timeout, [&] {
        gaps.push_back(beat.restart());
    });
    beat.start();
    heart.start();

    // Browsing: the call itself runs on the UI thread; the folder is listed behind it.
    PictureFileBrowser& browser = *page.fileBrowser();
    qint64 listedMs = -1;
    QElapsedTimer listing;
    QObject::connect(&browser, &PictureFileBrowser::folderListed, [&] { listedMs = listing.elapsed(); });
    clock.restart();
    listing.start();
    page.browseFolder(folder);
    const qint64 browseMs = listing.elapsed();
    // Waits in the event loop (the heartbeat wakes it) rather than spinning, which would
    // take a core from the loader.
    while (browser.busy()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents();
    const qint64 loadMs = clock.elapsed();
    heart.stop();
    gaps.push_back(browseMs);  // the browse call ran on the UI thread outside the timer

    std::sort(gaps.begin(), gaps.end());
    const qint64 longest = gaps.back();
    const qint64 p99 = gaps[gaps.size() * 99 / 100];
    const int listed = browser.count();
    std::printf("listed %d files\n", listed);
    std::printf("browse_call %lld ms\n", static_cast<long long>(browseMs));
    std::printf("list_folder %lld ms\n", static_cast<long long>(listedMs));
    std::printf("thumbnails_total %lld ms\n", static_cast<long long>(loadMs));
    std::printf("thumbnails_per_second %.1f\n", loadMs > 0 ? listed * 1000.0 / loadMs : 0.0);
    std::printf("ui_longest_block %lld ms\n", static_cast<long long>(std::max<qint64>(0, longest - kTickMs)));
    std::printf("ui_gap_p99 %lld ms\n", static_cast<long long>(p99));
    std::printf("# goal: ui_longest_block below 50 ms\n");
    return longest - kTickMs < 50 ? 0 : 2;
}
