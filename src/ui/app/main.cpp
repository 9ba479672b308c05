// The desktop program: `tellavine [--language de] [project.ovp]`.

#include "pipeline/disc_pipeline.h"
#include "platform/heap_reuse.h"
#include "ui/app/artwork.h"
#include "ui/app/catalog_translator.h"
#include "ui/app/qt_prompt.h"
#include "ui/app/termination_signals.h"
#include "ui/controls/splash_window.h"
#include "ui/pages/main_window.h"
#include "ui/pages/engine_recorders.h"

#include "tellavine_version.h"

#include <QApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char* argv[]) {
    tellavine::reuseLargeBlocksInHeap();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tellavine"));
    QApplication::setApplicationVersion(QString::fromLatin1(tellavine::kProgramVersionText));
    QApplication::setDesktopFileName(QStringLiteral("org.tellavine.Tellavine"));
    tellavine::ui::closeWindowsOnTerminationSignals();
    QStringList arguments = QApplication::arguments();
    QString problem;
    if (!tellavine::ui::installLanguage(arguments, problem)) {
        std::fprintf(stderr, "tellavine: %s\n", problem.toLocal8Bit().constData());
        return 2;
    }

    tellavine::ui::MainWindowServices services;
    services.prompt = std::make_shared<tellavine::ui::QtPrompt>();
    services.recorders = std::make_shared<tellavine::ui::EngineRecorders>(services.prompt);
    services.makePipeline = [](std::shared_ptr<tellavine::vcd::RecorderHooks> recorder) {
        return tellavine::makeDiscPipeline(std::move(recorder));
    };

    tellavine::ui::MainWindow window(services, arguments.size() > 1 ? arguments.at(1) : QString());
    window.show();
    tellavine::ui::SplashWindow::show(&window, tellavine::ui::drawAboutPicture());
    return app.exec();
}
