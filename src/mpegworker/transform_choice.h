#pragma once
// Which forward and inverse DCT the encoder library runs. The library points its
// transform hooks at its reference floating-point DCT whenever it initialises (once per
// process, in the first encoder it builds); the worker then points them at the library's
// integer AAN forward DCT and integer inverse DCT, about ten times faster and within a
// rounding step of the reference on every coefficient.

#include <string>

namespace tellavine::mpegworker {

enum class DctChoice { Fast, Reference };

struct TransformNames {
    std::string forward;
    std::string inverse;
    bool operator==(const TransformNames&) const = default;
};

// The library functions a choice stands for.
TransformNames transformNamesOf(DctChoice choice);

// Points the library's hooks at the chosen pair. Call after the library has
// initialised, that is after constructing an encoder.
void selectTransforms(DctChoice choice);

// The library functions the hooks point at now ("unknown" for anything else).
TransformNames activeTransforms();

}  // namespace tellavine::mpegworker
