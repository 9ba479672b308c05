// Reordering an album's photos: the drag-and-drop target rule and the date sort's order.
#include "project/model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tellavine {
namespace {

// An album of photos named "1" .. "n".
Project albumOf(int count) {
    Project project;
    project.addAlbum("A");
    for (int i = 1; i <= count; ++i) project.addSlide(0, std::to_string(i), std::to_string(i), 0);
    project.setModified(false);
    return project;
}

std::string order(const Project& project) {
    std::string names;
    for (const auto& slide : project.album(0).slides) names += slide->path;
    return names;
}

struct MoveCase {
    const char* name;
    std::vector<int> moving;  // 0-based positions, in list order
    int target;
    const char* expected;
};

class SlideMove : public ::testing::TestWithParam<MoveCase> {};

TEST_P(SlideMove, InsertsAtTheTargetOfTheShortenedList) {
    Project project = albumOf(5);
    std::vector<const Slide*> moving;
    for (int index : GetParam().moving) moving.push_back(project.album(0).slides[static_cast<std::size_t>(index)].get());
    project.moveSlides(0, moving, GetParam().target);
    EXPECT_EQ(order(project), GetParam().expected);
    EXPECT_EQ(project.modified(), order(project) != "12345");  // moving nothing changes nothing
}

INSTANTIATE_TEST_SUITE_P(
    Drops, SlideMove,
    ::testing::Values(MoveCase{"LastTwoToTheEmptySpace", {3, 4}, 5, "12345"},
                      MoveCase{"FirstOntoTheFourth", {0}, 3, "23415"},
                      MoveCase{"TwoApartToTheFront", {1, 3}, 0, "24135"},
                      MoveCase{"PastTheEndAppends", {0, 1}, 99, "34512"},
                      MoveCase{"BeforeTheStartGoesFirst", {4}, -3, "51234"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SlideOrder, ReorderTakesOnlyAPermutationOfTheAlbum) {
    Project project = albumOf(3);
    const auto& slides = project.album(0).slides;
    const Slide* a = slides[0].get();
    const Slide* b = slides[1].get();
    const Slide* c = slides[2].get();
    EXPECT_FALSE(project.reorderSlides(0, {a, b}));
    EXPECT_FALSE(project.reorderSlides(0, {a, a, b}));
    EXPECT_TRUE(project.reorderSlides(0, {a, b, c}));
    EXPECT_FALSE(project.modified());  // the same order changes nothing
    EXPECT_TRUE(project.reorderSlides(0, {c, a, b}));
    EXPECT_EQ(order(project), "312");
    EXPECT_EQ(project.album(0).slides[0].get(), c);  // slides keep their addresses
    EXPECT_TRUE(project.modified());
}

TEST(ChangeBatch, CallsTheStatusCallbackOnceAtTheEnd) {
    Project project;
    int calls = 0;
    std::string last;
    project.setStatusCallback([&](const std::string& line) { ++calls, last = line; });
    {
        Project::ChangeBatch outer(project);
        project.addAlbum("A");
        {
            Project::ChangeBatch inner(project);
            for (int i = 0; i < 5; ++i) project.addSlide(0, "p", "p", 0);
        }
        EXPECT_EQ(calls, 0);  // the outer batch still holds it back
        EXPECT_TRUE(project.modified());
    }
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(last, "Total : 1 Albums, 5 Photos");
    { Project::ChangeBatch nothing(project); }
    EXPECT_EQ(calls, 1);  // a batch without changes calls nothing
}

}  // namespace
}  // namespace tellavine
