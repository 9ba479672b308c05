#pragma once
// The process-wide colour palette behind every colour button: twenty colours, each with
// a recency number 1..20 (1 = chosen most recently). Choosing a colour makes it the
// most recent; a new colour from the system dialog replaces the least recent one.
// Used on the UI thread only.

#include "project/model.h"

#include <array>

namespace tellavine::ui {

class ColourPalette {
public:
    static constexpr int kSize = 20;
    static constexpr int kFirstSwatchId = 5101;
    static constexpr int kOtherButtonId = 5121;

    ColourPalette();  // the initial colours and recency numbers

    static ColourPalette& shared();

    ColourRef colour(int index) const { return colours_.at(static_cast<std::size_t>(index)); }
    int recency(int index) const { return recency_.at(static_cast<std::size_t>(index)); }
    // The index holding `colour`, or -1.
    int indexOf(ColourRef colour) const;

    // Swatch `index` was chosen: every more recent colour ages by one, it becomes 1.
    void choose(int index);
    // "Other..." returned `colour`: an existing entry is chosen as its swatch, else the
    // least recently used entry takes the colour. The chosen index.
    int chooseOther(ColourRef colour);

private:
    std::array<ColourRef, kSize> colours_{};
    std::array<int, kSize> recency_{};
};

}  // namespace tellavine::ui
