#pragma once
// JSON parsing that remembers on which line each member and element starts, so that a
// message about a field can name its line: "line 12: albums[1].photos[0].rotation: ...".
// Paths are written as in jq: "menu.music", "albums[0].name" (indexes from 0).

#include <nlohmann/json.hpp>

#include <map>
#include <string>

namespace tellavine::cli {

class JsonPositions {
public:
    // Parses `text` into `value`; false with `error` ("line 3, column 5: syntax error ...")
    // when it is not JSON.
    bool parse(const std::string& text, nlohmann::json& value, std::string& error);

    // The line `path` starts on; 0 when unknown ("" is the whole document).
    int lineOf(const std::string& path) const;

    static std::string memberPath(const std::string& objectPath, const std::string& key);
    static std::string elementPath(const std::string& arrayPath, std::size_t index);

private:
    std::map<std::string, int> lines_;
};

}  // namespace tellavine::cli
