#include "pipeline/build_progress.h"

#include "support/expect_if_set.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace tellavine {
namespace {

struct Step {
    unsigned message;
    MessageParam wParam = 0, lParam = 0;
    int times = 1;
    std::string errorText = {};
    std::int32_t laidOutSectors = -1;  // when set, the image's size becomes known before this step
};

// Messages handled in order, then what the display shows; unset fields are not pinned by the row.
struct ProgressCase {
    const char* name;
    bool simulate;
    std::vector<Step> steps;
    std::optional<std::string> barText = {};
    std::optional<int> position = {};
    std::optional<std::string> status = {};
    std::optional<bool> done = {}, succeeded = {}, closeLabel = {}, barVisible = {};
    bool lastHandled = true;
};
void PrintTo(const ProgressCase& c, std::ostream* out) { *out << c.name; }

class BuildProgressTable : public ::testing::TestWithParam<ProgressCase> {};

TEST_P(BuildProgressTable, ShowsTheLastState) {
    const ProgressCase& c = GetParam();
    BuildJob job;
    job.cuePath = "/out/disc.cue";
    BuildProgress progress(job, c.simulate);
    bool handled = false;
    for (const Step& step : c.steps) {
        if (step.laidOutSectors >= 0) job.imageSectors = step.laidOutSectors;
        for (int i = 0; i < step.times; ++i) handled = progress.handle(step.message, step.wParam, step.lParam, step.errorText);
    }
    EXPECT_EQ(handled, c.lastHandled);
    const ProgressView& view = progress.view();
    using testing::expectIfSet;
    expectIfSet(c.barText, view.barText, "bar text");
    expectIfSet(c.position, view.position, "position");
    expectIfSet(c.status, view.status, "status");
    expectIfSet(c.done, view.done, "done");
    expectIfSet(c.succeeded, view.succeeded, "succeeded");
    expectIfSet(c.closeLabel, view.closeLabel, "close label");
    expectIfSet(c.barVisible, view.barVisible, "bar visible");
}

const Step kHalfOfTheSlides{WM_SLIDE_PROGRESS, 4, 10};
const Step kFirstOfThreeSlides{WM_SLIDE_PROGRESS, 0, 3};
const Step kSectorOfUnknownImage{WM_IMAGE_SECTOR_PROGRESS};
const Step kSectorsOfKnownImage{WM_IMAGE_SECTOR_PROGRESS, 0, 0, 999, {}, 2000};
const Step kSimulatedBurnHalfWay{WM_BURN_PROGRESS, 499, 1000};

INSTANTIATE_TEST_SUITE_P(
    BuildProgress, BuildProgressTable,
    ::testing::Values(
        // Slides show tenths of a percent.
        ProgressCase{"SlidesHalfWay", false, {kHalfOfTheSlides}, "50.0%", 50},
        ProgressCase{"SlidesOneThird", false, {kHalfOfTheSlides, kFirstOfThreeSlides}, "33.3%", {},
                     "Encoding album photos..."},
        // No count: taken as 100.
        ProgressCase{"SlidesWithoutCount", false, {kHalfOfTheSlides, kFirstOfThreeSlides, {WM_SLIDE_PROGRESS, 0, 0}},
                     " 1.0%"},
        // Image sectors count against the laid-out size, from the messages sent before it was known.
        ProgressCase{"ImageSizeNotKnownYet", false, {kSectorOfUnknownImage}, "0.0%"},
        ProgressCase{"ImageSectorsAgainstTheLaidOutSize", false, {kSectorOfUnknownImage, kSectorsOfKnownImage}, "49.9%",
                     49},
        ProgressCase{"ImageWritten", false, {kSectorOfUnknownImage, kSectorsOfKnownImage, {WM_IMAGE_DONE_PROGRESS}}, {},
                     {}, "Disc image file was successfully written to:\n\n/out/disc.cue", true, true, true, false},
        ProgressCase{"SimulationHalfWay", true, {kSimulatedBurnHalfWay}, "50.0%"},
        ProgressCase{"SimulationFinished", true, {kSimulatedBurnHalfWay, {WM_BURN_DONE}}, {}, {},
                     "The simulation is successfully finished, please click the <Burn Now> button to write the albums "
                     "to the disc."},
        // A failed burn keeps the button's label.
        ProgressCase{"BurnFailed", false, {{WM_BURN_ERROR, 0, 0, 1, "Medium not present"}}, {}, {},
                     "The burning process failed. Error message :\nMedium not present", true, {}, false},
        ProgressCase{"BuildFailed", false, {{WM_BUILD_FAILED}}, {}, {}, "An error occurred while processing.", {}, {},
                     true},
        ProgressCase{"OtherMessagesAreNotProgress", false, {{WM_BUILD_FAILED}, {9999}}, {}, {},
                     "An error occurred while processing.", {}, {}, {}, {}, false}),
    [](const ::testing::TestParamInfo<ProgressCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tellavine
