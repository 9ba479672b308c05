// Reordering an album's slides: the editor's drag and drop and its date sort.
#include "project/model.h"

#include <algorithm>
#include <unordered_set>

namespace tellavine {

void Project::moveSlides(int albumIndex, const std::vector<const Slide*>& moving, int targetIndex) {
    auto& slides = album(albumIndex).slides;
    std::vector<const Slide*> before;
    for (const auto& slide : slides) before.push_back(slide.get());
    std::vector<std::unique_ptr<Slide>> taken;
    for (const Slide* wanted : moving) {
        const auto at = std::find_if(slides.begin(), slides.end(),
                                     [wanted](const std::unique_ptr<Slide>& slide) { return slide.get() == wanted; });
        if (at == slides.end()) continue;  // not in this album, or named twice
        taken.push_back(std::move(*at));
        slides.erase(at);
    }
    if (taken.empty()) return;
    const auto index = static_cast<std::size_t>(std::clamp(targetIndex, 0, static_cast<int>(slides.size())));
    slides.insert(slides.begin() + static_cast<std::ptrdiff_t>(index), std::make_move_iterator(taken.begin()),
                  std::make_move_iterator(taken.end()));
    const bool moved = !std::equal(before.begin(), before.end(), slides.begin(),
                                   [](const Slide* a, const std::unique_ptr<Slide>& b) { return a == b.get(); });
    if (moved) changed();  // dropping photos where they were changes nothing
}

bool Project::reorderSlides(int albumIndex, const std::vector<const Slide*>& order) {
    auto& slides = album(albumIndex).slides;
    if (order.size() != slides.size()) return false;
    const std::unordered_set<const Slide*> wanted(order.begin(), order.end());
    if (wanted.size() != order.size()) return false;
    for (const auto& slide : slides) {
        if (!wanted.count(slide.get())) return false;
    }
    bool unchanged = true;
    for (std::size_t i = 0; i < order.size(); ++i) unchanged = unchanged && slides[i].get() == order[i];
    if (unchanged) return true;  // an album already in order stays unmodified
    std::vector<std::unique_ptr<Slide>> reordered;
    reordered.reserve(slides.size());
    for (const Slide* next : order) {
        const auto at = std::find_if(slides.begin(), slides.end(),
                                     [next](const std::unique_ptr<Slide>& slide) { return slide.get() == next; });
        reordered.push_back(std::move(*at));
    }
    slides = std::move(reordered);
    changed();
    return true;
}

}  // namespace tellavine
