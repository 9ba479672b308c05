#include "ui/controls/colour_palette.h"

namespace tellavine::ui {

ColourPalette::ColourPalette() {
    struct Entry {
        std::uint8_t r, g, b;
        int recency;
    };
    static constexpr Entry kInitial[kSize] = {
        {0, 0, 0, 1},         {128, 0, 0, 3},     {0, 128, 0, 5},     {128, 128, 0, 7},
        {0, 0, 128, 9},       {128, 0, 128, 11},  {0, 128, 128, 13},  {192, 192, 192, 15},
        {192, 220, 192, 17},  {166, 202, 240, 19}, {255, 251, 240, 20}, {160, 160, 164, 18},
        {128, 128, 128, 16},  {255, 0, 0, 14},    {0, 255, 0, 12},    {255, 255, 0, 10},
        {0, 0, 255, 8},       {255, 0, 255, 6},   {0, 255, 255, 4},   {255, 255, 255, 2},
    };
    for (int i = 0; i < kSize; ++i) {
        colours_[i] = makeColourRef(kInitial[i].r, kInitial[i].g, kInitial[i].b);
        recency_[i] = kInitial[i].recency;
    }
}

ColourPalette& ColourPalette::shared() {
    static ColourPalette palette;
    return palette;
}

int ColourPalette::indexOf(ColourRef colour) const {
    for (int i = 0; i < kSize; ++i) {
        if (colours_[i] == colour) return i;
    }
    return -1;
}

void ColourPalette::choose(int index) {
    const int chosen = recency_.at(static_cast<std::size_t>(index));
    for (int& r : recency_) {
        if (r < chosen) ++r;
    }
    recency_[index] = 1;
}

int ColourPalette::chooseOther(ColourRef colour) {
    int index = indexOf(colour);
    if (index < 0) {
        for (int i = 0; i < kSize; ++i) {
            if (recency_[i] == kSize) index = i;
        }
        colours_[index] = colour;
    }
    choose(index);
    return index;
}

}  // namespace tellavine::ui
