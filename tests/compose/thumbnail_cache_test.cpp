#include "compose/thumbnail_cache.h"

#include <gtest/gtest.h>

#include <thread>

namespace tellavine {
namespace {

constexpr std::size_t kEntry = 10 * 10 * 3 + ThumbnailCache::kEntryOverhead;

Picture filled(std::uint8_t value) {
    Picture p = Picture::create(10, 10);
    p.clear({value, value, value});
    return p;
}

TEST(ThumbnailCache, FindsByExactPathAndKey) {
    // Two files whose names differ only in letter case are two photos.
    ThumbnailCache cache(1 << 20);
    EXPECT_EQ(cache.store("/Photos/Beach.JPG", filled(1), 90)->pixel(0, 0).r, 1);
    cache.store("/Photos/beach.jpg", filled(2), 90);
    ASSERT_TRUE(cache.find("/Photos/Beach.JPG", 90));
    EXPECT_EQ(cache.find("/Photos/Beach.JPG", 90)->pixel(0, 0).r, 1);
    EXPECT_EQ(cache.find("/Photos/beach.jpg", 90)->pixel(0, 0).r, 2);
    EXPECT_FALSE(cache.find("/Photos/Beach.JPG", 0));
    EXPECT_FALSE(cache.find("/Photos/other.jpg", 90));
}

TEST(ThumbnailCache, StoringTheSameKeyAgainReplacesWithoutGrowing) {
    ThumbnailCache cache(1 << 20);
    cache.store("a.jpg", filled(1), 0);
    const auto old = cache.find("a.jpg", 0);
    cache.store("a.jpg", filled(2), 0);
    EXPECT_EQ(cache.totalBytes(), kEntry);
    EXPECT_EQ(cache.entryCount(), 1u);
    EXPECT_EQ(cache.find("a.jpg", 0)->pixel(0, 0).r, 2);
    EXPECT_EQ(old->pixel(0, 0).r, 1);  // a holder keeps its picture
}

TEST(ThumbnailCache, TheOldestEntriesMakeRoomWithinTheBudget) {
    ThumbnailCache cache(3 * kEntry);  // reaching the budget counts as full
    cache.store("1", filled(1), 0);
    cache.store("2", filled(2), 0);
    EXPECT_EQ(cache.entryCount(), 2u);
    cache.store("3", filled(3), 0);
    EXPECT_FALSE(cache.find("1", 0));
    EXPECT_TRUE(cache.find("2", 0));
    EXPECT_TRUE(cache.find("3", 0));
    EXPECT_EQ(cache.totalBytes(), 2 * kEntry);

    // A big entry evicts as many old ones as it needs.
    Picture big = Picture::create(10, 20);
    cache.store("big", std::move(big), 0);
    EXPECT_LE(cache.totalBytes(), 3 * kEntry);
    EXPECT_TRUE(cache.find("big", 0));
}

TEST(ThumbnailCache, IsSafeToShareBetweenThreads) {
    ThumbnailCache cache(50 * kEntry);
    auto worker = [&cache](int seed) {
        for (int i = 0; i < 2000; ++i) {
            const std::string path = "photo" + std::to_string((i * 7 + seed) % 80);
            if (auto p = cache.find(path, seed % 2)) EXPECT_EQ(p->width(), 10);
            else cache.store(path, filled(static_cast<std::uint8_t>(i)), seed % 2);
        }
    };
    std::thread a(worker, 1), b(worker, 2);
    a.join();
    b.join();
    EXPECT_LT(cache.totalBytes(), 50 * kEntry);
}

}  // namespace
}  // namespace tellavine
