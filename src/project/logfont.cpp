#include "project/logfont.h"

#include "platform/text.h"

#include <algorithm>
#include <cstring>

namespace tellavine {

std::string LogFont::face() const {
    const auto end = std::find(faceName.begin(), faceName.end(), '\0');
    return std::string(faceName.begin(), end);
}

void LogFont::setFace(const std::string& name) {
    faceName.fill('\0');
    const auto cut = truncateUtf8(name, faceName.size() - 1);
    std::memcpy(faceName.data(), cut.data(), cut.size());
}

LogFont LogFont::captionDefault() {
    LogFont font;
    font.height = -16;
    font.weight = 800;
    font.charSet = logfont::kAnsiCharset;
    font.outPrecision = logfont::kOutStrokePrecision;
    font.clipPrecision = logfont::kClipStrokePrecision;
    font.quality = logfont::kDraftQuality;
    font.pitchAndFamily = logfont::kVariablePitch | logfont::kFamilySwiss;
    font.setFace("Comic Sans MS");
    return font;
}

}  // namespace tellavine
