#include "pipeline/build_progress.h"

#include "support/expect_if_set.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace tellavine {
namespace {

using testing::expectIfSet;

struct Step {
    NumberedMessage message;
    MessageParam wParam = 0, lParam = 0;
    int times = 1;
    std::string errorText = {};
    std::int32_t laidOutSectors = -1;  // when set, the image's size becomes known before this step
};

// Messages handled in order, then what the display shows; a row pins only the fields it sets.
struct ProgressCase {
    const char* name;
    bool simulate = false;
    std::vector<Step> steps;
    std::optional<std::string> barText = {}, status = {};
    std::optional<int> position = {};
    std::optional<bool> done = {}, succeeded = {}, closeLabel = {}, barVisible = {};
    bool lastHandled = true;
};
void PrintTo(const ProgressCase& c, std::ostream* out) { *out << c.name; }  // ctest's name for the row

class BuildProgressTable : public ::testing::TestWithParam<ProgressCase> {};

TEST_P(BuildProgressTable, ShowsTheLastState) {
    const ProgressCase& c = GetParam();
    BuildJob job;
    job.cuePath = "/out/disc.cue";
    BuildProgress progress(job, c.simulate);
    bool handled = false;
    for (const Step& step : c.steps) {
        if (step.laidOutSectors >= 0) job.imageSectors = step.laidOutSectors;
        for (int i = 0; i < step.times; ++i) handled = progress.handle({step.message, step.wParam, step.lParam, step.errorText});
    }
    EXPECT_EQ(handled, c.lastHandled);
    const ProgressView& view = progress.view();
    expectIfSet(c.barText, view.barText, "bar text");
    expectIfSet(c.status, view.status, "status");
    expectIfSet(c.position, view.position, "position");
    expectIfSet(c.done, view.done, "done");
    expectIfSet(c.succeeded, view.succeeded, "succeeded");
    expectIfSet(c.closeLabel, view.closeLabel, "close label");
    expectIfSet(c.barVisible, view.barVisible, "bar visible");
}

const Step kHalfOfTheSlides{WM_SLIDE_PROGRESS, 4, 10};
const Step kFirstOfThreeSlides{WM_SLIDE_PROGRESS, 0, 3};
const Step kSectorOfUnknownImage{WM_IMAGE_SECTOR};
const Step kSectorsOfKnownImage{WM_IMAGE_SECTOR, 0, 0, 999, {}, 2000};
const Step kSimulatedBurnHalfWay{WM_BURN_PROGRESS, 499, 1000};
const char* const kFailed = "An error occurred while processing.";

// Slides show tenths of a percent (no count is taken as 100); image sectors count against
// the laid-out size, from the messages sent before it was known; a failed burn keeps the
// button's label.
INSTANTIATE_TEST_SUITE_P(
    BuildProgress, BuildProgressTable,
    ::testing::Values(
        ProgressCase{.name = "SlidesHalfWay", .steps = {kHalfOfTheSlides}, .barText = "50.0%", .position = 50},
        ProgressCase{.name = "SlidesOneThird", .steps = {kHalfOfTheSlides, kFirstOfThreeSlides}, .barText = "33.3%",
                     .status = "Encoding album photos..."},
        ProgressCase{.name = "SlidesWithoutCount",
                     .steps = {kHalfOfTheSlides, kFirstOfThreeSlides, {WM_SLIDE_PROGRESS, 0, 0}}, .barText = " 1.0%"},
        ProgressCase{.name = "ImageSizeNotKnownYet", .steps = {kSectorOfUnknownImage}, .barText = "0.0%"},
        ProgressCase{.name = "ImageSectorsAgainstTheLaidOutSize",
                     .steps = {kSectorOfUnknownImage, kSectorsOfKnownImage}, .barText = "49.9%", .position = 49},
        ProgressCase{.name = "ImageWritten",
                     .steps = {kSectorOfUnknownImage, kSectorsOfKnownImage, {WM_IMAGE_DONE}},
                     .status = "Disc image file was successfully written to:\n\n/out/disc.cue", .done = true,
                     .succeeded = true, .closeLabel = true, .barVisible = false},
        ProgressCase{.name = "SimulationHalfWay", .simulate = true, .steps = {kSimulatedBurnHalfWay}, .barText = "50.0%"},
        ProgressCase{.name = "SimulationFinished", .simulate = true, .steps = {kSimulatedBurnHalfWay, {WM_BURN_DONE}},
                     .status = "The simulation is successfully finished, please click the <Burn Now> button to "
                               "write the albums to the disc."},
        ProgressCase{.name = "BurnFailed", .steps = {{WM_BURN_ERROR, 0, 0, 1, "Medium not present"}},
                     .status = "The burning process failed. Error message :\nMedium not present", .done = true,
                     .closeLabel = false},
        ProgressCase{.name = "BuildFailed", .steps = {{WM_BUILD_FAILED}}, .status = kFailed, .closeLabel = true},
        ProgressCase{.name = "OtherMessagesAreNotProgress", .steps = {{WM_BUILD_FAILED}, {WM_ERASE_TICK}}, .status = kFailed,
                     .lastHandled = false}),
    [](const ::testing::TestParamInfo<ProgressCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tellavine
