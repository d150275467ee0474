// Known folders of the user: Documents and Desktop, found the Linux way.
#pragma once

#include <string>

namespace platform {

enum class KnownFolder { kDocuments, kDesktop };

// The folder's path without a trailing '/', or "" when it cannot be found.
// Order: an override set below, then the XDG user-dirs file
// ($XDG_CONFIG_HOME or ~/.config, "user-dirs.dirs": XDG_DOCUMENTS_DIR and
// XDG_DESKTOP_DIR), then $HOME/Documents and $HOME/Desktop.
std::string KnownFolderPath(KnownFolder folder);

// Points a known folder somewhere else (tests, the host stand-in); an empty
// path removes the override.
void SetKnownFolderOverride(KnownFolder folder, const std::string& path);

}  // namespace platform
