#pragma once
// A build's own working folder inside the configured temporary folder. The stages write
// fixed names (temp_d.m1v, menu_01.mpg, ...); in a folder of their own, made with mode
// 0700 by mkdtemp, nobody else can plant a link under those names, two builds sharing a
// temporary folder cannot overwrite each other's files, and a user's own file that
// happens to have one of those names is never touched.
//
// The folder is locked while it lives and removed with everything in it at the end.
// Folders left behind by builds that died (killed outright) are no longer locked; the
// next build removes them.

#include "platform/folder_lock.h"

#include <optional>
#include <string>

namespace tellavine {

class WorkFolder {
public:
    // Makes "<parent>tellavine-XXXXXX/"; `parent` ends in '/' and is created when missing.
    explicit WorkFolder(const std::string& parent);
    ~WorkFolder();
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;

    bool made() const { return !path_.empty(); }
    // The folder, ending in '/'; empty when it could not be made.
    const std::string& path() const { return path_; }
    // Why it could not be made (the system's reason).
    const std::string& error() const { return error_; }

private:
    std::string path_;
    std::string error_;
    std::optional<FolderLock> lock_;
};

}  // namespace tellavine
