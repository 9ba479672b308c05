// The update check against a local HTTP server: a newer release, the current one, an
// older release with a larger build, missing files, no server, a huge version file,
// redirects, a server that never answers, and closing the dialog while it waits.

#include "loopback_http_server.h"
#include "support/temp_dir.h"
#include "ui/controls/hyperlink_static.h"
#include "ui/update/update_dialog.h"

#include <QSignalSpy>
#include <QTest>

#include <filesystem>

using namespace tellavine;
using namespace tellavine::ui;
using tellavine::testing::HttpAnswer;
using tellavine::testing::LoopbackHttpServer;

namespace {

constexpr ReleaseNumber kRunning{301, 398};

QByteArray versionFile(int version, int build) {
    return "[Gerneral]\r\nversion=" + QByteArray::number(version) + "\r\nbuild=" + QByteArray::number(build) + "\r\n";
}

enum class Outcome { Newer, Latest, Failed };

}  // namespace

Q_DECLARE_METATYPE(HttpAnswer)
Q_DECLARE_METATYPE(Outcome)

class UpdateCheckTest : public QObject {
    Q_OBJECT

    std::unique_ptr<UpdateDialog> dialogFor(const QUrl& server, const testing::TempDir& cache, int timeoutMs = 10000) {
        UpdateCheckSetup setup;
        setup.serverAddress = server.toString().toStdString();
        setup.cacheDir = cache.folder();
        setup.running = kRunning;
        setup.limits.timeoutMs = timeoutMs;
        return std::make_unique<UpdateDialog>(std::move(setup));
    }

    static bool waitForAnswer(UpdateDialog& dialog) {
        QSignalSpy ended(&dialog, &UpdateDialog::checkEnded);
        dialog.startCheck();
        return ended.wait(15000);
    }

private slots:
    void versionFileAnswers_data() {
        QTest::addColumn<HttpAnswer>("answer");
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<QString>("news");
        const QString failure = QStringLiteral("due to the following reason:\n");
        QTest::newRow("newer release") << HttpAnswer::file(versionFile(302, 1)) << Outcome::Newer
                                       << QStringLiteral("A new version is available.\nVersion:3.2\nBuild:1\n"
                                                         "Please download it by clicking the following link and upgrade.");
        QTest::newRow("same release, newer build") << HttpAnswer::file(versionFile(301, 399)) << Outcome::Newer
                                                   << QStringLiteral("Version:3.1\nBuild:399");
        QTest::newRow("the running release") << HttpAnswer::file(versionFile(301, 398)) << Outcome::Latest
                                             << QStringLiteral("Congratulations!");
        QTest::newRow("older release with a larger build")
            << HttpAnswer::file(versionFile(100, 399)) << Outcome::Latest << QStringLiteral("Congratulations!");
        QTest::newRow("file without the section") << HttpAnswer::file("[General]\nversion=999\n") << Outcome::Latest
                                                  << QStringLiteral("Congratulations!");
        QTest::newRow("404") << HttpAnswer::file("gone", 404) << Outcome::Failed << QStringLiteral("Not Found");
        QTest::newRow("10 MB, length announced")
            << HttpAnswer::file(QByteArray(10 << 20, 'x')) << Outcome::Failed
            << QStringLiteral("The version file is larger than 64 KiB.");
        QTest::newRow("10 MB, length not announced")
            << HttpAnswer::unannounced(versionFile(999, 1) + QByteArray(10 << 20, ';')) << Outcome::Failed
            << QStringLiteral("The version file is larger than 64 KiB.");
        QTest::newRow("redirect followed") << HttpAnswer::redirect("/releases/version.ini") << Outcome::Newer
                                           << QStringLiteral("Version:4.0\nBuild:7");
        QTest::newRow("redirects without end")
            << HttpAnswer::redirect("/version.ini") << Outcome::Failed << failure;
    }

    void versionFileAnswers() {
        QFETCH(HttpAnswer, answer);
        QFETCH(Outcome, outcome);
        QFETCH(QString, news);
        LoopbackHttpServer server;
        server.answer("/version.ini", answer);
        server.answer("/releases/version.ini", HttpAnswer::file(versionFile(400, 7)));
        testing::TempDir cache;
        auto dialog = dialogFor(server.address(), cache);
        QVERIFY(waitForAnswer(*dialog));

        QVERIFY2(dialog->news().contains(news), qPrintable(dialog->news()));
        QCOMPARE(dialog->linkShown(), outcome == Outcome::Newer);
        const std::string savedFile = cache.folder() + "version.ini";
        QCOMPARE(std::filesystem::exists(savedFile), outcome != Outcome::Failed);
        if (outcome == Outcome::Failed) {
            const QString prefix = QStringLiteral("Error while getting version information from %1 due to the following reason:\n")
                                       .arg(server.address().toString());
            QVERIFY2(dialog->news().startsWith(prefix), qPrintable(dialog->news()));
            QVERIFY(dialog->news().endsWith(QStringLiteral("\nPlease make sure your internet connection is working.")));
        }
        if (outcome == Outcome::Newer) {
            QCOMPARE(dialog->link()->text(), server.address().toString());
            QCOMPARE(dialog->link()->target(), server.address().toString() + QStringLiteral("update.html"));
        }
    }

    void noServerListening() {
        testing::TempDir cache;
        auto dialog = dialogFor(testing::unusedLoopbackAddress(), cache);
        QVERIFY(waitForAnswer(*dialog));
        QVERIFY2(dialog->news().contains(QStringLiteral("Connection refused")), qPrintable(dialog->news()));
        QVERIFY(!dialog->linkShown());
    }

    void serverThatNeverAnswersTimesOut() {
        LoopbackHttpServer server;
        server.answer("/version.ini", HttpAnswer::none());
        testing::TempDir cache;
        auto dialog = dialogFor(server.address(), cache, 300);
        QVERIFY(waitForAnswer(*dialog));
        QVERIFY2(dialog->news().contains(QStringLiteral("The server did not answer within 0.3 seconds.")),
                 qPrintable(dialog->news()));
        QTRY_COMPARE(server.openConnections(), 0);
    }

    void closingTheDialogWhileWaitingEndsTheTransfer() {
        LoopbackHttpServer server;
        server.answer("/version.ini", HttpAnswer::none());
        testing::TempDir cache;
        auto dialog = dialogFor(server.address(), cache);
        QSignalSpy ended(dialog.get(), &UpdateDialog::checkEnded);
        dialog->startCheck();
        QTRY_COMPARE(server.requestedPaths().size(), 1);
        QCOMPARE(server.openConnections(), 1);
        dialog->reject();
        dialog.reset();
        // The connection is dropped at once, and nothing is reported to the gone dialog.
        QTRY_COMPARE(server.openConnections(), 0);
        QTest::qWait(100);
        QCOMPARE(ended.count(), 0);
        QVERIFY(!std::filesystem::exists(cache.folder() + "version.ini"));
    }

    void serverAddressMustBeHttp() {
        QVERIFY(updateServerProblem("").find("[Update]") != std::string::npos);
        QVERIFY(updateServerProblem("ftp://example.org/").find("not an http") != std::string::npos);
        QVERIFY(updateServerProblem("file:///etc/").find("not an http") != std::string::npos);
        QVERIFY(updateServerProblem("http:///version").find("not an http") != std::string::npos);
        QVERIFY(updateServerProblem("https://example.org/tellavine/").empty());
        QVERIFY(updateServerProblem("http://127.0.0.1:8080").empty());
        QCOMPARE(updateServerFile("http://127.0.0.1:8080", "version.ini"), std::string("http://127.0.0.1:8080/version.ini"));
    }
};

QTEST_MAIN(UpdateCheckTest)
#include "update_check_test.moc"
