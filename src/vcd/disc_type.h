#pragma once

namespace tellavine::vcd {

// Fixed when an authoring object is created. The build always makes Vcd20; the Super
// Video CD types are refused at creation (their file set is not built here).
enum class DiscType { Vcd10 = 1, Vcd11 = 2, Vcd20 = 3, Svcd = 4, HqVcd = 5 };

inline bool allowsPlaybackControl(DiscType type) { return type == DiscType::Vcd20; }
inline bool allowsSegments(DiscType type) { return type == DiscType::Vcd20; }

}  // namespace tellavine::vcd
