#include "build/encoding_stages.h"

#include "project/messages.h"

namespace tellavine {

// The stages are joined here when composition and the encoders are part of the build.
bool encodeDiscMenu(BuildJob&, const BuildInputs&) {
    showText("This build of Tellavine cannot encode disc menus yet.");
    return false;
}

bool encodeAlbumSlides(BuildJob&, const BuildInputs&) {
    return false;
}

}  // namespace tellavine
