#include "mpegworker/transform_choice.h"

#include <cstdint>

// The library's transform hooks and the transforms it exports; its header for them is
// not installed.
extern "C" {
extern void (*pfdct)(std::int16_t* block);
extern void (*pidct)(std::int16_t* block);
void fdct_ref(std::int16_t* block);
void fdct_daan(std::int16_t* block);
void idct_ref(std::int16_t* block);
void idct(std::int16_t* block);
}

namespace tellavine::mpegworker {
namespace {

using Transform = void (*)(std::int16_t*);

struct NamedTransform {
    Transform function;
    const char* name;
};

constexpr NamedTransform kForward[] = {{fdct_daan, "fdct_daan"}, {fdct_ref, "fdct_ref"}};
constexpr NamedTransform kInverse[] = {{idct, "idct"}, {idct_ref, "idct_ref"}};

std::string nameOf(Transform function, const auto& known) {
    for (const auto& entry : known)
        if (entry.function == function) return entry.name;
    return "unknown";
}

}  // namespace

TransformNames transformNamesOf(DctChoice choice) {
    return choice == DctChoice::Fast ? TransformNames{"fdct_daan", "idct"} : TransformNames{"fdct_ref", "idct_ref"};
}

void selectTransforms(DctChoice choice) {
    pfdct = choice == DctChoice::Fast ? fdct_daan : fdct_ref;
    pidct = choice == DctChoice::Fast ? idct : idct_ref;
}

TransformNames activeTransforms() { return {nameOf(pfdct, kForward), nameOf(pidct, kInverse)}; }

}  // namespace tellavine::mpegworker
