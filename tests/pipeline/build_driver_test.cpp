#include "pipeline/build_driver.h"

#include "project/messages.h"
#include "support/recording_prompt.h"
#include "support/recording_receiver.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <mutex>
#include <vector>

namespace tellavine {
namespace {

using testing::readFile;
using testing::TempDir;

// Records posted messages and pipeline calls into one ordered trace.
struct Trace {
    std::mutex mutex;
    std::vector<std::string> events;
    void add(std::string event) {
        std::lock_guard lock(mutex);
        events.push_back(std::move(event));
    }
};

class FakeSink : public BuildSink {
public:
    explicit FakeSink(bool feeding) : feeding_(feeding) {}
    bool recorderReports() const override { return feeding_; }

private:
    bool feeding_;
};

class FakeWriter : public DiscWriter {
public:
    FakeWriter(Trace& trace, bool writes) : trace_(trace), writes_(writes) {}
    std::int32_t beginOutput() override {
        trace_.add("beginOutput");
        return 1234;
    }
    bool writeImage(BuildSink&, BuildJob& job) override {
        trace_.add("writeImage sectors=" + std::to_string(job.imageSectors.load()));
        return writes_;
    }
    void endOutput() override { trace_.add("endOutput"); }
    ~FakeWriter() override { trace_.add("destroy"); }

private:
    Trace& trace_;
    bool writes_;
};

// A pipeline whose steps succeed unless told otherwise; the slide stage honours the
// cancel event as the real one does (tested before each photo).
class FakePipeline : public BuildPipeline {
public:
    explicit FakePipeline(Trace& trace) : trace_(trace) {}
    bool menuOk = true, slidesOk = true, sinkOk = true, assembleOk = true, writeOk = true, feeding = false;
    std::function<void(BuildJob&)> duringMenu;
    std::string seenTempDir;

    bool encodeDiscMenu(BuildJob& job, const BuildInputs& inputs) override {
        trace_.add("encodeDiscMenu");
        seenTempDir = inputs.tempDir;
        if (duringMenu) duringMenu(job);
        return menuOk;
    }
    bool encodeAlbumSlides(BuildJob& job, const BuildInputs&) override {
        trace_.add("encodeAlbumSlides");
        if (job.cancelled()) return false;
        return slidesOk;
    }
    std::unique_ptr<BuildSink> createImageSink(BuildJob& job, const BuildInputs&) override {
        trace_.add("createImageSink " + job.cuePath + " " + job.binPath);
        return sinkOk ? std::make_unique<FakeSink>(feeding) : nullptr;
    }
    std::unique_ptr<DiscWriter> assembleDisc(BuildJob& job, const BuildInputs&, BuildSink&) override {
        trace_.add("assembleDisc");
        if (!assembleOk) {
            job.window.post(WM_BUILD_FAILED);  // disc assembly reports its own failure
            return nullptr;
        }
        return std::make_unique<FakeWriter>(trace_, writeOk);
    }

private:
    Trace& trace_;
};

class BuildDriver : public ::testing::Test {
protected:
    BuildDriver() : pipeline(trace) {
        inputs.services = services;
        auto receiver = std::make_shared<testing::RecordingReceiver>();
        receiver->onMessage = [this](const testing::ReceivedMessage& received, std::size_t) {
            trace.add("post " + std::to_string(received.id));
        };
        job.window.attach(receiver);
        job.cuePath = "/out/disc.cue";
        job.binPath = binPathForCue(job.cuePath);
        inputs.project = &project;
        inputs.tempDir = dir.folder() + "Temp/";
        inputs.options.outputTarget = OutputTarget::ImageFile;
    }

    std::string log() const { return readFile(dir.file("orx_log.txt")); }

    TempDir dir;
    testing::RecordingServices services{dir.file("orx_log.txt")};
    Trace trace;
    FakePipeline pipeline;
    Project project;
    BuildJob job;
    BuildInputs inputs;
};

TEST_F(BuildDriver, RunsStagesLogLinesAndMessagesInTheirFixedOrder) {
    job.imageSectors = 99;  // left over from an earlier use: reset before anything
    EXPECT_EQ(runBuild(job, inputs, pipeline), 0);
    EXPECT_EQ(trace.events, (std::vector<std::string>{
                                "post 1124", "encodeDiscMenu", "post 1125", "encodeAlbumSlides",
                                "createImageSink /out/disc.cue /out/disc.bin", "assembleDisc", "beginOutput",
                                "writeImage sectors=1234", "endOutput", "destroy"}));
    EXPECT_EQ(log(), "\nBegin Encoding...\nBegin Encoding Menu...\nEnd of Encoding Menu...\n"
                     "Begin Encoding Slideshow...\nEnd of Encoding Slideshow...");
    EXPECT_EQ(job.imageSectors.load(), 1234);
}

TEST_F(BuildDriver, MenuFailureStopsBeforeTheSlides) {
    pipeline.menuOk = false;
    EXPECT_EQ(runBuild(job, inputs, pipeline), -1);
    EXPECT_EQ(trace.events, (std::vector<std::string>{"post 1124", "encodeDiscMenu", "post 1126"}));
    EXPECT_EQ(log(), "\nBegin Encoding...\nBegin Encoding Menu...");
}

TEST_F(BuildDriver, SlideAndSinkFailuresPostBuildFailed) {
    pipeline.slidesOk = false;
    EXPECT_EQ(runBuild(job, inputs, pipeline), -1);
    EXPECT_EQ(trace.events.back(), "post 1126");
    EXPECT_EQ(log().find("End of Encoding Slideshow..."), std::string::npos);

    trace.events.clear();
    pipeline.slidesOk = true;
    pipeline.sinkOk = false;
    EXPECT_EQ(runBuild(job, inputs, pipeline), -1);
    EXPECT_EQ(trace.events.back(), "post 1126");
    EXPECT_EQ(std::count(trace.events.begin(), trace.events.end(), "assembleDisc"), 0);
}

TEST_F(BuildDriver, AssemblyFailureIsReportedOnceByAssembly) {
    pipeline.assembleOk = false;
    EXPECT_EQ(runBuild(job, inputs, pipeline), -1);
    EXPECT_EQ(std::count(trace.events.begin(), trace.events.end(), "post 1126"), 1);
    EXPECT_EQ(trace.events.back(), "post 1126");
}

TEST_F(BuildDriver, IncompleteImageFailsTheBuildButARecorderRunReportsItself) {
    pipeline.writeOk = false;
    EXPECT_EQ(runBuild(job, inputs, pipeline), -1);
    EXPECT_EQ(trace.events.back(), "post 1126");
    EXPECT_EQ(trace.events[trace.events.size() - 2], "destroy");  // the writer is released first

    trace.events.clear();
    inputs.options.outputTarget = OutputTarget::Recorder;
    pipeline.feeding = true;
    EXPECT_EQ(runBuild(job, inputs, pipeline), 0);
    EXPECT_EQ(std::count(trace.events.begin(), trace.events.end(), "post 1126"), 0);

    // A recording that never started (the disc could not be laid out) is the driver's to report.
    trace.events.clear();
    pipeline.feeding = false;
    EXPECT_EQ(runBuild(job, inputs, pipeline), -1);
    EXPECT_EQ(trace.events.back(), "post 1126");
}

TEST_F(BuildDriver, CancelDuringTheMenuLetsItFinishThenStopsTheSlides) {
    pipeline.duringMenu = [](BuildJob& running) { running.cancelEvent->set(); };
    EXPECT_EQ(runBuild(job, inputs, pipeline), -1);
    EXPECT_EQ(trace.events, (std::vector<std::string>{"post 1124", "encodeDiscMenu", "post 1125",
                                                      "encodeAlbumSlides", "post 1126"}));
    EXPECT_NE(log().find("End of Encoding Menu..."), std::string::npos);
    EXPECT_EQ(log().find("End of Encoding Slideshow..."), std::string::npos);
}

TEST_F(BuildDriver, EachBuildWorksInAFolderOfItsOwnThatIsGoneAfterwards) {
    // A second build starts in the same temporary folder while the first is in its menu.
    Trace otherTrace;
    FakePipeline other(otherTrace);
    BuildJob otherJob;
    int otherResult = 1;
    const std::string configured = inputs.tempDir;
    const BuildInputs otherInputs = inputs;
    pipeline.duringMenu = [&](BuildJob&) {
        EXPECT_TRUE(std::filesystem::is_directory(pipeline.seenTempDir));
        inputs.tempDir = "/changed/";  // the settings change; the running build keeps its folder
        otherResult = runBuild(otherJob, otherInputs, other);
    };
    EXPECT_EQ(runBuild(job, inputs, pipeline), 0);
    EXPECT_EQ(otherResult, 0);
    for (const std::string& seen : {pipeline.seenTempDir, other.seenTempDir}) {
        EXPECT_EQ(seen.rfind(configured + "tellavine-", 0), 0u) << seen;
        EXPECT_EQ(seen.back(), '/');
        EXPECT_FALSE(std::filesystem::exists(seen)) << seen;
    }
    EXPECT_NE(pipeline.seenTempDir, other.seenTempDir);
}

TEST_F(BuildDriver, AWorkingFolderThatCannotBeMadeFailsBeforeAnyStage) {
    auto& prompt = services;
    testing::writeFile(dir.file("plain"), "not a folder");
    inputs.tempDir = dir.file("plain") + "/";
    EXPECT_EQ(runBuild(job, inputs, pipeline), -1);
    EXPECT_EQ(trace.events, std::vector<std::string>{"post 1126"});
    ASSERT_EQ(prompt->shown().size(), 1u);
    EXPECT_NE(prompt->shown()[0].find("Cannot create a working folder in the temporary folder " + inputs.tempDir),
              std::string::npos);
}

TEST_F(BuildDriver, WorkerThreadOutlivesAClosedWindow) {
    auto shared = std::make_shared<BuildJob>();
    shared->window = job.window;
    auto threadPipeline = std::make_shared<FakePipeline>(trace);
    int result = 1;
    shared->window.detach();  // the progress window has gone
    auto worker = startBuildThread(shared, inputs, threadPipeline, [&](int r) { result = r; });
    worker.join();
    EXPECT_EQ(result, 0);
    EXPECT_EQ(std::count_if(trace.events.begin(), trace.events.end(),
                            [](const std::string& e) { return e.rfind("post", 0) == 0; }),
              0);
}

TEST(BinPath, CueExtensionBecomesBin) {
    EXPECT_EQ(binPathForCue("/a/disc.cue"), "/a/disc.bin");
    EXPECT_EQ(binPathForCue("/a/disc.CUE"), "/a/disc.bin");
    EXPECT_EQ(binPathForCue("/a/disc"), "/a/disc.bin");
}

}  // namespace
}  // namespace tellavine
