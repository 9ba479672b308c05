#include "cli/json_positions.h"

#include <algorithm>
#include <iterator>
#include <vector>

namespace tellavine::cli {
namespace {

// Reads the text for the parser and publishes how far the parser has read, so the
// parser's callback knows the line of the token it was just given.
class TrackingIterator {
public:
    using iterator_category = std::input_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char*;
    using reference = const char&;

    TrackingIterator(const char* at, const char** reached) : at_(at), reached_(reached) {}
    reference operator*() const { return *at_; }
    TrackingIterator& operator++() {
        *reached_ = ++at_;
        return *this;
    }
    TrackingIterator operator++(int) {
        TrackingIterator before = *this;
        ++*this;
        return before;
    }
    bool operator==(const TrackingIterator& other) const { return at_ == other.at_; }
    bool operator!=(const TrackingIterator& other) const { return at_ != other.at_; }

private:
    const char* at_;
    const char** reached_;
};

struct Frame {
    bool array = false;
    std::size_t nextIndex = 0;
    std::string key;
    std::string path;
};

}  // namespace

std::string JsonPositions::memberPath(const std::string& objectPath, const std::string& key) {
    return objectPath.empty() ? key : objectPath + "." + key;
}

std::string JsonPositions::elementPath(const std::string& arrayPath, std::size_t index) {
    return arrayPath + "[" + std::to_string(index) + "]";
}

bool JsonPositions::parse(const std::string& text, nlohmann::json& value, std::string& error) {
    lines_.clear();
    const char* begin = text.data();
    const char* reached = begin;
    const char* counted = begin;
    int line = 1;
    // The token just read ends before `reached`; its line counts the newlines before it.
    auto currentLine = [&] {
        const char* last = std::max(begin, reached - 1);
        for (; counted < last; ++counted) line += *counted == '\n';
        return line;
    };
    std::vector<Frame> frames;
    auto startingPath = [&]() -> std::string {  // the path of the value that starts now
        if (frames.empty()) return {};
        Frame& top = frames.back();
        return top.array ? elementPath(top.path, top.nextIndex++) : memberPath(top.path, top.key);
    };
    auto note = [&](const std::string& path) { lines_.emplace(path, currentLine()); };
    using Event = nlohmann::json::parse_event_t;
    auto callback = [&](int, Event event, nlohmann::json& parsed) {
        switch (event) {
            case Event::object_start:
            case Event::array_start: {
                const std::string path = startingPath();
                note(path);
                frames.push_back({event == Event::array_start, 0, {}, path});
                break;
            }
            case Event::key:
                if (!frames.empty()) {
                    frames.back().key = parsed.get<std::string>();
                    note(memberPath(frames.back().path, frames.back().key));
                }
                break;
            case Event::value:
                if (!frames.empty() && frames.back().array) note(startingPath());
                break;
            case Event::object_end:
            case Event::array_end:
                if (!frames.empty()) frames.pop_back();
                break;
        }
        return true;
    };
    try {
        value = nlohmann::json::parse(TrackingIterator(begin, &reached),
                                      TrackingIterator(begin + text.size(), &reached), callback);
    } catch (const nlohmann::json::parse_error& failure) {
        error = failure.what();
        const std::string prefix = "parse error at ";
        if (const auto at = error.find(prefix); at != std::string::npos) error.erase(0, at + prefix.size());
        return false;
    }
    return true;
}

int JsonPositions::lineOf(const std::string& path) const {
    const auto found = lines_.find(path);
    return found == lines_.end() ? 0 : found->second;
}

}  // namespace tellavine::cli
