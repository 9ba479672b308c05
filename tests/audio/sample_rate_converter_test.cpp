#include "audio/sample_rate_converter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <vector>

namespace tellavine::audio {
namespace {

// Converts `input` (mono) in blocks of `block` samples, each block asking for the
// outputs its input covers so far, as a streaming caller does.
std::vector<std::int16_t> convertStreaming(double factor, const std::vector<std::int16_t>& input, std::size_t block) {
    SampleRateConverter converter(factor, 1);
    std::vector<std::int16_t> output;
    std::vector<std::int16_t> pending;
    std::size_t fed = 0;
    while (fed < input.size()) {
        const std::size_t take = std::min(block, input.size() - fed);
        pending.insert(pending.end(), input.begin() + static_cast<std::ptrdiff_t>(fed),
                       input.begin() + static_cast<std::ptrdiff_t>(fed + take));
        fed += take;
        // Until the input ends, only outputs whose input is all here; then the rest.
        const auto target = static_cast<std::size_t>(static_cast<double>(fed) * factor);
        std::size_t wanted = target - output.size();
        if (fed < input.size()) wanted = std::min(wanted, converter.outputsWithoutHolding(pending.size()));
        std::vector<std::int16_t> out(wanted);
        std::size_t count = pending.size();
        const std::int16_t* in[] = {pending.data()};
        std::int16_t* outs[] = {out.data()};
        converter.convert(count, out.size(), in, outs);
        EXPECT_LE(count, pending.size());
        pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(count));
        output.insert(output.end(), out.begin(), out.end());
    }
    return output;
}

TEST(SampleRateConverter, DoublingInterpolatesHalfwayPoints) {
    // 22050 -> 44100: every second output lies halfway between two inputs.
    std::vector<std::int16_t> input(100);
    for (std::size_t i = 0; i < input.size(); ++i) input[i] = static_cast<std::int16_t>(i * 100);
    const auto output = convertStreaming(2.0, input, input.size());
    ASSERT_EQ(output.size(), 200u);
    for (std::size_t i = 0; i + 2 < output.size(); ++i) {
        ASSERT_EQ(output[i], static_cast<std::int16_t>(i * 50)) << i;
    }
}

TEST(SampleRateConverter, BlockSizesDoNotChangeTheResult) {
    // A long 48 kHz ramp-and-sine signal, cut into blocks of many sizes, including
    // blocks much larger than the converter's window.
    std::vector<std::int16_t> input(48000);
    for (std::size_t i = 0; i < input.size(); ++i) {
        input[i] = static_cast<std::int16_t>(12000 * std::sin(static_cast<double>(i) * 0.05) + (i % 1000));
    }
    const double factor = 44100.0 / 48000.0;
    const auto whole = convertStreaming(factor, input, input.size());
    EXPECT_EQ(whole.size(), 44100u);
    for (std::size_t block : {1u, 7u, 1152u, 4096u, 5000u, 20000u}) {
        EXPECT_EQ(convertStreaming(factor, input, block), whole) << block;
    }
}

TEST(SampleRateConverter, ProducesExactlyTheWantedCountAndClips) {
    SampleRateConverter converter(44100.0 / 22050.0, 2);
    std::vector<std::int16_t> left(50, 32767), right(50, -32768);
    std::vector<std::int16_t> outLeft(300, 0), outRight(300, 0);
    std::size_t count = left.size();
    const std::int16_t* in[] = {left.data(), right.data()};
    std::int16_t* out[] = {outLeft.data(), outRight.data()};
    // More outputs than the input covers: the last input sample is held, never read past.
    converter.convert(count, 300, in, out);
    EXPECT_EQ(count, 50u);
    for (std::size_t i = 0; i < 300; ++i) {
        ASSERT_EQ(outLeft[i], 32767) << i;
        ASSERT_EQ(outRight[i], -32768) << i;
    }
    // The held outputs covered input samples 50..149, still to come: those are dropped,
    // so the next outputs begin with input sample 150.
    std::vector<std::int16_t> next(200);
    std::iota(next.begin(), next.end(), 50);
    std::size_t nextCount = next.size();
    const std::int16_t* in2[] = {next.data(), next.data()};
    converter.convert(nextCount, 100, in2, out);
    EXPECT_EQ(nextCount, 200u);
    EXPECT_EQ(outLeft[0], 150);
    EXPECT_EQ(outLeft[2], 151);
    EXPECT_EQ(outRight[4], 152);
}

}  // namespace
}  // namespace tellavine::audio
