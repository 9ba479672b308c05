#pragma once
// What the update check decides and says, apart from the network: the release numbers
// in the server's version.ini, whether they are newer than the running program's, and
// the dialog's texts.

#include <string>

namespace tellavine::ui {

// A release as version.ini numbers it: version = major * 100 + minor, and a build.
struct ReleaseNumber {
    int version = 0;
    int build = 0;
    auto operator<=>(const ReleaseNumber&) const = default;
};

ReleaseNumber runningRelease();

// Newer when the (version, build) pair is larger: an older release with a larger build
// number is not newer.
bool isNewerRelease(const ReleaseNumber& offered, const ReleaseNumber& running);

// "version" and "build" of section "Gerneral" (so spelt by the servers); a file without
// them reads as 0, 0, which is never newer.
ReleaseNumber readVersionFile(const std::string& path);

// Why `address` cannot serve as the update server, or empty when it can: it must be an
// http:// or https:// address with a host. An empty address means "no server set".
std::string updateServerProblem(const std::string& address);
// `address` with the file name appended ("version.ini", "update.html").
std::string updateServerFile(const std::string& address, const std::string& name);

std::string checkingText();
std::string newReleaseText(const ReleaseNumber& offered);
std::string latestReleaseText();
// The failure text: the server address and the reason (cut to 254 characters).
std::string checkFailedText(const std::string& address, const std::string& reason);

}  // namespace tellavine::ui
