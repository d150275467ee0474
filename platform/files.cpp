// Files and folders over the POSIX calls, with error codes and a fault seam.
#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <mutex>
#include <utility>
#include <vector>

namespace platform {
namespace {

std::mutex g_hook_mutex;
FileFaultHook g_hook;

FileStatus Injected(FileOp op, const std::string& path) {
  FileFaultHook hook;
  {
    std::lock_guard<std::mutex> lock(g_hook_mutex);
    hook = g_hook;
  }
  return hook ? hook(op, path) : FileStatus::kOk;
}

FileStatus FromErrno(int error) {
  switch (error) {
    case ENOENT:
      return FileStatus::kNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
      return FileStatus::kAccessDenied;
    case ENOTDIR:
    case EISDIR:
    case EEXIST:
    case ENOTEMPTY:
      return FileStatus::kNotAFolder;
    case ENAMETOOLONG:
    case EINVAL:
    case ELOOP:
      return FileStatus::kInvalidPath;
    default:
      return FileStatus::kIoError;
  }
}

// Writes all of content to an open descriptor, riding over short writes and
// interrupted calls.
FileStatus WriteAll(int fd, const std::string& content) {
  const char* p = content.data();
  size_t left = content.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return FromErrno(errno);
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  return FileStatus::kOk;
}

FileStatus CloseChecked(int fd, FileStatus status) {
  if (::close(fd) != 0 && status == FileStatus::kOk) status = FromErrno(errno);
  return status;
}

FileStatus WriteFileRaw(const std::string& path, const std::string& content) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return FromErrno(errno);
  return CloseChecked(fd, WriteAll(fd, content));
}

FileStatus RenameRaw(const std::string& from, const std::string& to) {
  if (::rename(from.c_str(), to.c_str()) != 0) return FromErrno(errno);
  return FileStatus::kOk;
}

// The file a path names once every symbolic link on it is followed, so
// that writing through a link replaces the file it points to and the link
// stays a link. A link to a missing file names that file.
FileStatus FollowLinks(const std::string& path, std::string* target) {
  std::string at = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat info;
    if (::lstat(at.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
      *target = at;
      return FileStatus::kOk;
    }
    std::vector<char> buffer(static_cast<size_t>(info.st_size > 0 ? info.st_size : 255) + 1);
    const ssize_t n = ::readlink(at.c_str(), buffer.data(), buffer.size());
    if (n < 0) return FromErrno(errno);
    if (static_cast<size_t>(n) >= buffer.size()) return FileStatus::kInvalidPath;
    std::string link(buffer.data(), static_cast<size_t>(n));
    // A relative link is relative to the folder that holds it.
    const size_t slash = at.rfind('/');
    if (!link.empty() && link[0] != '/' && slash != std::string::npos)
      link = at.substr(0, slash + 1) + link;
    at = link;
  }
  return FileStatus::kInvalidPath;  // a loop of links
}

char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

const char* FileStatusText(FileStatus status) {
  switch (status) {
    case FileStatus::kOk:
      return "ok";
    case FileStatus::kNotFound:
      return "not found";
    case FileStatus::kAccessDenied:
      return "access denied";
    case FileStatus::kNotAFolder:
      return "not a folder";
    case FileStatus::kInvalidPath:
      return "invalid path";
    case FileStatus::kIoError:
      return "input/output error";
  }
  return "unknown";
}

FileStatus CreateFolders(const std::string& path) {
  if (path.empty()) return FileStatus::kInvalidPath;
  if (FileStatus s = Injected(FileOp::kCreateFolder, path); s != FileStatus::kOk) return s;
  // Every prefix that ends before a '/' is a folder above the target.
  size_t pos = 0;
  while (true) {
    pos = path.find('/', pos + 1);
    const std::string prefix = path.substr(0, pos);
    if (!prefix.empty() && prefix != "/") {
      if (::mkdir(prefix.c_str(), 0755) != 0) {
        const int error = errno;
        if (error != EEXIST) return FromErrno(error);
        if (!FolderExists(prefix)) return FileStatus::kNotAFolder;
      }
    }
    if (pos == std::string::npos) break;
  }
  return FileStatus::kOk;
}

FileStatus ReadWholeFile(const std::string& path, std::string* content) {
  content->clear();
  if (path.empty()) return FileStatus::kInvalidPath;
  if (FileStatus s = Injected(FileOp::kRead, path); s != FileStatus::kOk) return s;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return FromErrno(errno);
  struct stat info;
  if (::fstat(fd, &info) != 0) return CloseChecked(fd, FromErrno(errno));
  if (S_ISDIR(info.st_mode)) return CloseChecked(fd, FileStatus::kNotAFolder);
  std::string data;
  char buffer[65536];
  FileStatus status = FileStatus::kOk;
  while (true) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      status = FromErrno(errno);
      break;
    }
    if (n == 0) break;
    data.append(buffer, static_cast<size_t>(n));
  }
  status = CloseChecked(fd, status);
  if (status == FileStatus::kOk) content->swap(data);
  return status;
}

FileStatus WriteWholeFile(const std::string& path, const std::string& content) {
  if (path.empty()) return FileStatus::kInvalidPath;
  if (FileStatus s = Injected(FileOp::kWrite, path); s != FileStatus::kOk) return s;
  return WriteFileRaw(path, content);
}

FileStatus ReplaceFile(const std::string& path, const std::string& content) {
  if (path.empty() || path.back() == '/') return FileStatus::kInvalidPath;
  std::string target;
  if (FileStatus s = FollowLinks(path, &target); s != FileStatus::kOk) return s;
  struct stat old;
  const bool existing = ::stat(target.c_str(), &old) == 0;
  if (existing && S_ISDIR(old.st_mode)) return FileStatus::kNotAFolder;
  // Same folder as the file replaced, so the rename never crosses file
  // systems; a name of its own for every call, so that two writers never
  // share one; the suffix keeps it out of listings of "*.ini".
  static std::atomic<unsigned> counter{0};
  const std::string temp = target + ".tmp-" + std::to_string(::getpid()) + "-" +
                           std::to_string(counter.fetch_add(1, std::memory_order_relaxed));
  FileStatus status = Injected(FileOp::kWrite, temp);
  if (status != FileStatus::kOk) return status;
  // A new file gets what the umask leaves of 0666, as any editor's would;
  // a replaced one keeps its permissions.
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return FromErrno(errno);
  if (existing && ::fchmod(fd, old.st_mode & 07777) != 0) status = FromErrno(errno);
  if (status == FileStatus::kOk) status = WriteAll(fd, content);
  // The data must be on disk before the rename makes it the only copy.
  if (status == FileStatus::kOk && ::fsync(fd) != 0) status = FromErrno(errno);
  status = CloseChecked(fd, status);
  if (status == FileStatus::kOk) status = Injected(FileOp::kRename, path);
  if (status == FileStatus::kOk) status = RenameRaw(temp, target);
  if (status != FileStatus::kOk) ::unlink(temp.c_str());
  return status;
}

FileStatus AppendToFile(const std::string& path, const std::string& content) {
  if (path.empty()) return FileStatus::kInvalidPath;
  if (FileStatus s = Injected(FileOp::kAppend, path); s != FileStatus::kOk) return s;
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
  if (fd < 0) return FromErrno(errno);
  return CloseChecked(fd, WriteAll(fd, content));
}

FileStatus DeleteFile(const std::string& path) {
  if (path.empty()) return FileStatus::kInvalidPath;
  if (FileStatus s = Injected(FileOp::kDelete, path); s != FileStatus::kOk) return s;
  if (::unlink(path.c_str()) != 0) return FromErrno(errno);
  return FileStatus::kOk;
}

FileStatus RenameFile(const std::string& from, const std::string& to) {
  if (from.empty() || to.empty()) return FileStatus::kInvalidPath;
  if (FileStatus s = Injected(FileOp::kRename, to); s != FileStatus::kOk) return s;
  if (FolderExists(from)) return FileStatus::kNotAFolder;
  return RenameRaw(from, to);
}

bool FileExists(const std::string& path) {
  struct stat info;
  return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool FolderExists(const std::string& path) {
  struct stat info;
  return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool MatchesWildcard(const std::string& name, const std::string& pattern) {
  // Greedy match with one backtrack point: the last '*' seen and the name
  // position it currently swallows up to.
  size_t n = 0, p = 0;
  size_t star = std::string::npos, resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (p < pattern.size() &&
               (pattern[p] == '?' || LowerAscii(pattern[p]) == LowerAscii(name[n]))) {
      ++p;
      ++n;
    } else if (star != std::string::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

FileStatus ListFolder(const std::string& folder, const std::string& pattern,
                      std::vector<FolderEntry>* entries) {
  entries->clear();
  if (folder.empty()) return FileStatus::kInvalidPath;
  if (FileStatus s = Injected(FileOp::kList, folder); s != FileStatus::kOk) return s;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return FromErrno(errno);
  std::vector<FolderEntry> found;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == ".." || !MatchesWildcard(name, pattern)) continue;
    bool is_folder = entry->d_type == DT_DIR;
    if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
      is_folder = FolderExists(folder + "/" + name);
    }
    found.push_back(FolderEntry{name, is_folder});
  }
  ::closedir(dir);
  std::sort(found.begin(), found.end(),
            [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
  entries->swap(found);
  return FileStatus::kOk;
}

void SetFileFaultHook(FileFaultHook hook) {
  std::lock_guard<std::mutex> lock(g_hook_mutex);
  g_hook = std::move(hook);
}

}  // namespace platform
