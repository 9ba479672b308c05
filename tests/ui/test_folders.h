#pragma once
// The program's folders for a UI test: data from the test binary's folder (bin/ holds
// the templates, help and language tables), settings, run log and temporary files in
// `dir`, so no test writes beside the programs.

#include "platform/folders.h"
#include "support/temp_dir.h"

#include <QCoreApplication>

namespace tellavine::testing {

inline AppFolders useTestFolders(const TempDir& dir) {
    AppFolders folders;
    folders.programDir = QCoreApplication::applicationDirPath().toStdString() + "/";
    folders.settingsDir = dir.folder();
    folders.stateDir = dir.folder();
    folders.cacheDir = dir.folder() + "Temp/";
    folders.defaultTempDir = dir.folder() + "Temp/";
    setAppFolders(folders);
    return folders;
}

}  // namespace tellavine::testing
