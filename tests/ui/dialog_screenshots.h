#pragma once
// Pictures of the editor's dialogs, saved into `out`; `folder` takes the sample photos.

#include <QString>

#include <string>

namespace tellavine::testing {

bool shootDialogs(const QString& out, const std::string& folder);

}  // namespace tellavine::testing
