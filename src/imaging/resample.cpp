// Resampling mode 3. The loops run over whole rows so the compiler vectorises them across
// samples; every output sample still sums its terms in the same order as the plain
// pixel-by-pixel formulas (no reassociation), so the pictures are bit-for-bit those of
// the straightforward code.

#include "imaging/picture.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <vector>

namespace tellavine {
namespace {

// A row of RGB bytes as floats, plus one float of slack: the per-pixel loops below read
// four lanes at a pixel (its R, G, B and the next pixel's R, which is thrown away), so
// each tap is a single 4-wide multiply-add.
void loadRow(const std::uint8_t* in, int width, std::vector<float>& row) {
    const std::size_t count = static_cast<std::size_t>(width) * 3;
    row.resize(count + 1);
    for (std::size_t i = 0; i < count; ++i) row[i] = in[i];
    row[count] = 0.0f;
}

// The area average along one axis: output sample o covers the source samples first[o] ..
// first[o] + taps - 1 with the weights at weights[o * taps]. Every output has the same
// number of taps, so the inner loops have no per-sample bounds. Shorter spans are padded
// with zero weights, in front of the span where it would otherwise run past the last
// source sample. Sums start at +0 and the samples are finite and non-negative, so a zero
// term leaves every sum exactly as it was.
struct AreaWeights {
    int taps = 0;
    std::vector<int> first;
    std::vector<float> weights;
};

AreaWeights areaWeights(int inSize, int outSize) {
    const double scale = static_cast<double>(inSize) / outSize;
    const auto spanBegin = [&](int o) { return static_cast<int>(o * scale); };
    const auto spanLast = [&](int o) { return std::min(inSize - 1, static_cast<int>(std::ceil((o + 1) * scale)) - 1); };
    AreaWeights area;
    for (int o = 0; o < outSize; ++o) area.taps = std::max(area.taps, spanLast(o) - spanBegin(o) + 1);
    area.first.resize(static_cast<std::size_t>(outSize));
    area.weights.assign(static_cast<std::size_t>(outSize) * area.taps, 0.0f);
    for (int o = 0; o < outSize; ++o) {
        const double begin = o * scale, end = (o + 1) * scale;
        const int first = std::min(spanBegin(o), inSize - area.taps);
        area.first[static_cast<std::size_t>(o)] = first;
        float* weight = &area.weights[static_cast<std::size_t>(o) * area.taps];
        for (int i = spanBegin(o); i <= spanLast(o); ++i) {
            const double covered = std::min(end, i + 1.0) - std::max(begin, static_cast<double>(i));
            weight[i - first] = static_cast<float>(covered / scale);
        }
    }
    return area;
}

// One source row averaged along x: three floats per output pixel.
void averageRow(const AreaWeights& xs, const std::vector<float>& line, int width, float* out) {
    for (int x = 0; x < width; ++x) {
        const float* p = line.data() + static_cast<std::size_t>(xs.first[x]) * 3;
        const float* weight = &xs.weights[static_cast<std::size_t>(x) * xs.taps];
        float sum[4] = {};
        for (int k = 0; k < xs.taps; ++k, p += 3)
            for (int c = 0; c < 4; ++c) sum[c] += weight[k] * p[c];
        for (int c = 0; c < 3; ++c) out[x * 3 + c] = sum[c];
    }
}

Picture areaAverage(const Picture& src, int width, int height) {
    // Separable: average along rows, then along columns. A source row is averaged along x
    // when the first output row that covers it needs it; output rows' spans only move
    // down, so a ring of as many rows as a span has taps holds everything one output row
    // reads (instead of the whole picture's worth of floats).
    const AreaWeights xs = areaWeights(src.width(), width);
    const AreaWeights ys = areaWeights(src.height(), height);
    const std::size_t outRow = static_cast<std::size_t>(width) * 3;
    std::vector<float> ring(outRow * ys.taps);
    const auto ringRow = [&](int sourceRow) { return ring.data() + static_cast<std::size_t>(sourceRow % ys.taps) * outRow; };
    std::vector<float> line;
    int nextSourceRow = 0;
    Picture out = Picture::create(width, height);
    std::vector<float> sum(outRow);
    for (int y = 0; y < height; ++y) {
        const int first = ys.first[y];
        for (; nextSourceRow < first + ys.taps; ++nextSourceRow) {
            loadRow(src.row(nextSourceRow), src.width(), line);
            averageRow(xs, line, width, ringRow(nextSourceRow));
        }
        const float* weight = &ys.weights[static_cast<std::size_t>(y) * ys.taps];
        std::fill(sum.begin(), sum.end(), 0.0f);
        for (int k = 0; k < ys.taps; ++k) {
            const float* in = ringRow(first + k);
            for (std::size_t i = 0; i < outRow; ++i) sum[i] += weight[k] * in[i];
        }
        std::uint8_t* dst = out.row(y);
        for (std::size_t i = 0; i < outRow; ++i)
            dst[i] = static_cast<std::uint8_t>(std::clamp(sum[i] + 0.5f, 0.0f, 255.0f));
    }
    return out;
}

// Source rows interpolated along x for the bilinear pass. Enlarging reads each source row
// for several output rows, so the last two stay until they are no longer needed.
class InterpolatedRows {
public:
    InterpolatedRows(const Picture& src, int width) : src_(src), width_(width), x0_(width), x1_(width), fx_(width) {
        const double scale = static_cast<double>(src.width()) / width;
        for (int x = 0; x < width; ++x) {
            const double pos = std::clamp((x + 0.5) * scale - 0.5, 0.0, src.width() - 1.0);
            x0_[x] = static_cast<int>(pos);
            x1_[x] = std::min(x0_[x] + 1, src.width() - 1);
            fx_[x] = static_cast<float>(pos - x0_[x]);
        }
    }

    // Source row `sy` interpolated; the row `keep` (already fetched) stays valid.
    const float* get(int sy, int keep) {
        for (const Slot& slot : slots_)
            if (slot.sourceRow == sy) return slot.values.data();
        Slot& slot = slots_[slots_[0].sourceRow == keep ? 1 : 0];
        slot.sourceRow = sy;
        interpolate(src_.row(sy), slot.values);
        return slot.values.data();
    }

private:
    struct Slot {
        int sourceRow = -1;
        std::vector<float> values;
    };

    void interpolate(const std::uint8_t* in, std::vector<float>& out) {
        loadRow(in, src_.width(), line_);
        out.resize(static_cast<std::size_t>(width_) * 3);
        for (int x = 0; x < width_; ++x) {
            const float* left = line_.data() + static_cast<std::size_t>(x0_[x]) * 3;
            const float* right = line_.data() + static_cast<std::size_t>(x1_[x]) * 3;
            float value[4];
            for (int c = 0; c < 4; ++c) value[c] = left[c] + fx_[x] * (right[c] - left[c]);
            for (int c = 0; c < 3; ++c) out[x * 3 + c] = value[c];
        }
    }

    const Picture& src_;
    int width_;
    std::vector<int> x0_, x1_;
    std::vector<float> fx_;
    std::vector<float> line_;
    std::array<Slot, 2> slots_;
};

Picture bilinear(const Picture& src, int width, int height) {
    Picture out = Picture::create(width, height);
    const double sy = static_cast<double>(src.height()) / height;
    InterpolatedRows rows(src, width);
    const std::size_t outRow = static_cast<std::size_t>(width) * 3;
    for (int y = 0; y < height; ++y) {
        const double pos = std::clamp((y + 0.5) * sy - 0.5, 0.0, src.height() - 1.0);
        const int y0 = static_cast<int>(pos);
        const int y1 = std::min(y0 + 1, src.height() - 1);
        const float fy = static_cast<float>(pos - y0);
        const float* top = rows.get(y0, -1);
        const float* bottom = rows.get(y1, y0);
        std::uint8_t* dst = out.row(y);
        for (std::size_t i = 0; i < outRow; ++i)
            dst[i] = static_cast<std::uint8_t>(std::clamp(top[i] + fy * (bottom[i] - top[i]) + 0.5f, 0.0f, 255.0f));
    }
    return out;
}

}  // namespace

bool Picture::resample(int width, int height) {
    if (!valid() || !pictureSizeAllowed(width, height)) return false;
    if (width == width_ && height == height_) return true;
    if (width < width_ && height < height_)
        *this = areaAverage(*this, width, height);
    else
        *this = bilinear(*this, width, height);
    return true;
}

}  // namespace tellavine
