// Composing ahead on a second thread must hand back exactly what composing in place
// gives, in request order, including the photos that cannot be read.
#include "encode/frame_prefetcher.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>

namespace tellavine {
namespace {

const std::string kPhotos = std::string(TELLAVINE_SOURCE_DIR) + "/samples/photos/";

SlideFrameRequest requestOf(StillResolution resolution, TvStandard standard = TvStandard::PAL) {
    return {standard, AspectCorrection::Aspect4x3, 5, resolution};
}

std::unique_ptr<Slide> slideOf(const std::string& path, int rotation = 0, const std::string& caption = "") {
    auto slide = std::make_unique<Slide>();
    slide->path = path;
    slide->rotation = rotation;
    slide->hasCaption = !caption.empty();
    slide->caption.text = caption;
    return slide;
}

TEST(FramePrefetcher, GivesTheFramesOfInPlaceCompositionInRequestOrder) {
    testing::TempDir temp;
    std::ofstream(temp.file("broken.jpg"), std::ios::binary) << "\xFF\xD8\xFF\xE0 not a jpeg";
    std::vector<std::unique_ptr<Slide>> slides;
    slides.push_back(slideOf(kPhotos + "ladybird.jpg", 0, "Ladybird"));
    slides.push_back(slideOf(kPhotos + "two_wings_portrait.jpg", 90));
    slides.push_back(slideOf(temp.file("broken.jpg")));
    slides.push_back(slideOf(kPhotos + "storm.jpg"));
    const std::vector<StillResolution> resolutions = {StillResolution::HighRes, StillResolution::NormalRes,
                                                      StillResolution::HighRes, StillResolution::NormalRes};

    std::vector<FrameOrder> orders;
    for (std::size_t i = 0; i < slides.size(); ++i) orders.push_back({slides[i].get(), requestOf(resolutions[i])});
    FramePrefetcher prefetcher(orders);
    for (std::size_t i = 0; i < slides.size(); ++i) {
        const auto prepared = prefetcher.next();
        ASSERT_TRUE(prepared);
        const auto& ahead = prepared->frame;
        Slide copy = *slides[i];
        const auto inPlace = composeSlideFrame(copy, requestOf(resolutions[i]));
        ASSERT_EQ(prepared->readable, inPlace.has_value()) << "frame " << i;
        ASSERT_EQ(ahead.has_value(), inPlace.has_value()) << "frame " << i;
        EXPECT_FALSE(prepared->still);  // without workers the caller encodes
        if (!inPlace) continue;
        EXPECT_EQ(ahead->width, inPlace->width) << "frame " << i;
        EXPECT_EQ(ahead->height, inPlace->height) << "frame " << i;
        EXPECT_TRUE(ahead->bits == inPlace->bits) << "frame " << i;
    }
    EXPECT_FALSE(prefetcher.next());  // past the last order
    // The caption's anchored position was written back into the slide composed ahead.
    Slide fresh = *slideOf(kPhotos + "ladybird.jpg", 0, "Ladybird");
    composeSlideFrame(fresh, requestOf(StillResolution::HighRes));
    EXPECT_NE(slides[0]->caption.x, -1);
    EXPECT_EQ(slides[0]->caption.x, fresh.caption.x);
    EXPECT_EQ(slides[0]->caption.y, fresh.caption.y);
}

TEST(FramePrefetcher, LanesWithWorkersEncodeTheSameStillsAsEncodingInTurn) {
    testing::TempDir temp;
    std::ofstream(temp.file("broken.jpg"), std::ios::binary) << "\xFF\xD8\xFF\xE0 not a jpeg";
    std::vector<std::unique_ptr<Slide>> slides;
    std::vector<FrameOrder> orders;
    for (const std::string& photo : {kPhotos + "garden.jpg", kPhotos + "wood.jpg", temp.file("broken.jpg"),
                                      kPhotos + "aqua.jpg", kPhotos + "dune.jpg"}) {
        slides.push_back(slideOf(photo, 0, "Caption"));
        // Two stills of one slide, as albums with music have: they share a lane.
        orders.push_back({slides.back().get(), requestOf(StillResolution::HighRes)});
        orders.push_back({slides.back().get(), requestOf(StillResolution::NormalRes)});
    }
    MpegWorkerClient first, second;
    FramePrefetcher prefetcher(orders, {&first, &second}, TvStandard::PAL);
    for (std::size_t i = 0; i < orders.size(); ++i) {
        SCOPED_TRACE("order " + std::to_string(i));
        auto prepared = prefetcher.next();
        ASSERT_TRUE(prepared);
        Slide copy = *slides[i / 2];
        const auto inPlace = composeSlideFrame(copy, orders[i].request);
        ASSERT_EQ(prepared->readable, inPlace.has_value());
        if (!inPlace) continue;
        ASSERT_TRUE(prepared->still);
        EXPECT_FALSE(prepared->frame);  // released once encoded
        ASSERT_TRUE(finishStill(*prepared->still, std::move(prepared->reply), temp.file("ahead.m1v"), StillWrite::Create));
        ASSERT_TRUE(encodeStill(stillPictureOf(*inPlace), temp.file("in_turn.m1v"), TvStandard::PAL, StillWrite::Create));
        EXPECT_TRUE(testing::readBytes(temp.file("ahead.m1v")) == testing::readBytes(temp.file("in_turn.m1v")));
    }
    EXPECT_FALSE(prefetcher.next());
    EXPECT_EQ(first.workersStarted(), 1);
    EXPECT_EQ(second.workersStarted(), 1);  // both lanes had work
}

TEST(FramePrefetcher, StopsEarlyWhenDestroyedAndHandlesNoOrders) {
    std::vector<std::unique_ptr<Slide>> slides;
    std::vector<FrameOrder> orders;
    for (int i = 0; i < 50; ++i) {
        slides.push_back(slideOf(kPhotos + "rain_drops.jpg"));
        orders.push_back({slides.back().get(), requestOf(StillResolution::HighRes)});
    }
    {
        FramePrefetcher prefetcher(orders);
        ASSERT_TRUE(prefetcher.next());
    }  // leaves after at most the frame in work, rather than composing all 50
    FramePrefetcher empty({});
    EXPECT_FALSE(empty.next());
}

}  // namespace
}  // namespace tellavine
