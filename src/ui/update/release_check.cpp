#include "ui/update/release_check.h"

#include "platform/profile.h"
#include "project/text_catalog.h"
#include "tellavine_version.h"

namespace tellavine::ui {

ReleaseNumber runningRelease() {
    return {kProgramRelease, kProgramBuild};
}

bool isNewerRelease(const ReleaseNumber& offered, const ReleaseNumber& running) {
    return offered > running;
}

ReleaseNumber readVersionFile(const std::string& path) {
    const ProfileDocument file = ProfileDocument::load(path);
    return {file.getInt("Gerneral", "version", 0), file.getInt("Gerneral", "build", 0)};
}

std::string updateServerProblem(const std::string& address) {
    if (address.empty()) {
        return "No update server is set. Put its address under [Update] as Url=https://... in config.ini.";
    }
    for (const char* scheme : {"http://", "https://"}) {
        const std::string prefix(scheme);
        if (address.size() > prefix.size() && address.compare(0, prefix.size(), prefix) == 0 &&
            address[prefix.size()] != '/') {
            return {};
        }
    }
    return "The update server address \"" + address + "\" in config.ini is not an http:// or https:// address.";
}

std::string updateServerFile(const std::string& address, const std::string& name) {
    return address + (address.ends_with('/') ? "" : "/") + name;
}

std::string checkingText() {
    return translated("\n\nChecking new version of Tellavine online, please waiting...");
}

std::string newReleaseText(const ReleaseNumber& offered) {
    return translated("A new version is available.\nVersion:") + std::to_string(offered.version / 100) + "." +
           std::to_string(offered.version % 100) + translated("\nBuild:") + std::to_string(offered.build) +
           translated("\nPlease download it by clicking the following link and upgrade.");
}

std::string latestReleaseText() {
    return translated("\n\nCongratulations! You are currently running the latest version.");
}

std::string checkFailedText(const std::string& address, const std::string& reason) {
    std::string why = reason.substr(0, 254);
    // Never end on half a UTF-8 character.
    if (why.size() < reason.size()) {
        while (!why.empty() && (static_cast<unsigned char>(reason[why.size()]) & 0xC0) == 0x80) why.pop_back();
    }
    if (!why.ends_with('\n')) why += '\n';
    return translated("Error while getting version information from ") + address +
           translated(" due to the following reason:\n") + why +
           translated("Please make sure your internet connection is working.");
}

}  // namespace tellavine::ui
