// Files and folders: create, read whole, write, append, delete, rename, list.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace platform {

// Outcome of a file operation. Nothing here throws; every failure is one of
// these codes.
enum class FileStatus {
  kOk,
  kNotFound,      // the file or a folder on its path does not exist
  kAccessDenied,  // the system refused the access
  kNotAFolder,    // a folder was expected where a file is (or the reverse)
  kInvalidPath,   // empty path, or a name the system cannot hold
  kIoError,       // the system failed while reading or writing
};

// A short English description of a status, for messages and test output.
const char* FileStatusText(FileStatus status);

// Creates the folder and every missing folder above it. An existing folder
// is success; an existing file of that name is kNotAFolder.
FileStatus CreateFolders(const std::string& path);

// Reads the whole file into *content (replaced; left empty on failure).
FileStatus ReadWholeFile(const std::string& path, std::string* content);

// Creates the file, or truncates an existing one, and writes content.
FileStatus WriteWholeFile(const std::string& path, const std::string& content);

// Writes content to a temporary file in the same folder and renames it over
// path, so that readers see either the old file or the complete new one and
// a failure anywhere leaves the old file untouched. The temporary file is
// removed when anything fails. As editors do: a replaced file keeps its
// permissions, a new one gets 0666 less the umask, and a path that is a
// symbolic link replaces the file the link points to (the link stays).
// Every file the system must not lose (settings, presets, exported
// documents) is written through this one function.
FileStatus ReplaceFile(const std::string& path, const std::string& content);

// Appends content at the end of the file, creating it when missing. The
// existing content is never truncated.
FileStatus AppendToFile(const std::string& path, const std::string& content);

// Deletes a file (not a folder).
FileStatus DeleteFile(const std::string& path);

// Renames a file; an existing file at to is replaced.
FileStatus RenameFile(const std::string& from, const std::string& to);

// True when path names an existing regular file / folder.
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);

struct FolderEntry {
  std::string name;  // the name within the folder, no path
  bool is_folder;
};

// Lists the entries of a folder whose names match a wildcard pattern ('*'
// any run of characters, '?' one character; letters compared without case,
// as the system's own file search does). "." and ".." are never listed. The
// entries are sorted by name, byte by byte, so every listing is the same.
FileStatus ListFolder(const std::string& folder, const std::string& pattern,
                      std::vector<FolderEntry>* entries);

// True when name matches pattern under the rule of ListFolder.
bool MatchesWildcard(const std::string& name, const std::string& pattern);

// Fault injection for tests: the operations that touch the file system.
enum class FileOp {
  kCreateFolder,
  kRead,
  kWrite,  // creating or truncating and writing a file
  kAppend,
  kDelete,
  kRename,  // the path given is the destination
  kList,
};

// Called before every operation with its path; a result other than kOk
// makes the operation fail with that status without touching anything.
using FileFaultHook = std::function<FileStatus(FileOp op, const std::string& path)>;

// Installs a hook (an empty function removes it). Meant for tests, which
// make real error paths run: a full disk, a locked file, a failed rename.
void SetFileFaultHook(FileFaultHook hook);

}  // namespace platform
