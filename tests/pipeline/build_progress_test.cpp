#include "pipeline/build_progress.h"

#include <gtest/gtest.h>

namespace tellavine {
namespace {

TEST(BuildProgress, SlideProgressShowsTenthsOfAPercent) {
    BuildJob job;
    BuildProgress progress(job, false);
    progress.handle(WM_SLIDE_PROGRESS, 4, 10);
    EXPECT_EQ(progress.view().barText, "50.0%");
    EXPECT_EQ(progress.view().position, 50);
    progress.handle(WM_SLIDE_PROGRESS, 0, 3);
    EXPECT_EQ(progress.view().barText, "33.3%");
    EXPECT_EQ(progress.view().status, "Encoding album photos...");
    progress.handle(WM_SLIDE_PROGRESS, 0, 0);  // no count: taken as 100
    EXPECT_EQ(progress.view().barText, " 1.0%");
}

TEST(BuildProgress, ImageSectorsCountAgainstTheLaidOutSize) {
    BuildJob job;
    job.cuePath = "/out/disc.cue";
    BuildProgress progress(job, false);
    progress.handle(WM_IMAGE_SECTOR_PROGRESS, 0, 0);  // size not known yet
    EXPECT_EQ(progress.view().barText, "0.0%");
    job.imageSectors = 2000;
    for (int i = 0; i < 999; ++i) progress.handle(WM_IMAGE_SECTOR_PROGRESS, 0, 0);
    EXPECT_EQ(progress.view().barText, "49.9%");
    EXPECT_EQ(progress.view().position, 49);
    progress.handle(WM_IMAGE_DONE_PROGRESS, 0, 0);
    EXPECT_TRUE(progress.view().done);
    EXPECT_TRUE(progress.view().succeeded);
    EXPECT_TRUE(progress.view().closeLabel);
    EXPECT_FALSE(progress.view().barVisible);
    EXPECT_EQ(progress.view().status, "Disc image file was successfully written to:\n\n/out/disc.cue");
}

TEST(BuildProgress, EndStatesOfRecorderAndFailures) {
    BuildJob job;
    BuildProgress simulated(job, true);
    simulated.handle(WM_BURN_PROGRESS, 499, 1000);
    EXPECT_EQ(simulated.view().barText, "50.0%");
    simulated.handle(WM_BURN_DONE, 0, 0);
    EXPECT_EQ(simulated.view().status.rfind("The simulation is successfully finished", 0), 0u);

    BuildProgress failed(job, false);
    failed.handle(WM_BURN_ERROR, 0, 0, "Medium not present");
    EXPECT_EQ(failed.view().status, "The burning process failed. Error message :\nMedium not present");
    EXPECT_TRUE(failed.view().done);
    EXPECT_FALSE(failed.view().closeLabel);  // the button keeps its label

    BuildProgress broken(job, false);
    broken.handle(WM_BUILD_FAILED, 0, 0);
    EXPECT_EQ(broken.view().status, "An error occurred while processing.");
    EXPECT_TRUE(broken.view().closeLabel);
    EXPECT_FALSE(broken.handle(9999, 0, 0));
}

}  // namespace
}  // namespace tellavine
