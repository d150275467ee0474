// Files and folders: the main operations, their error codes and the fault seam.
#include "platform/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "tests/platform/temp_folder.h"

namespace platform {
namespace {

class FilesTest : public ::testing::Test {
 protected:
  void TearDown() override { SetFileFaultHook(nullptr); }

  std::string Path(const std::string& name) const { return temp_.path() + "/" + name; }
  std::string Read(const std::string& name) const {
    std::string content;
    EXPECT_EQ(ReadWholeFile(Path(name), &content), FileStatus::kOk) << name;
    return content;
  }
  std::vector<std::string> Names(const std::string& pattern) const {
    std::vector<FolderEntry> entries;
    EXPECT_EQ(ListFolder(temp_.path(), pattern, &entries), FileStatus::kOk);
    std::vector<std::string> names;
    for (const FolderEntry& e : entries) names.push_back(e.name + (e.is_folder ? "/" : ""));
    return names;
  }

  testing_support::TempFolder temp_;
};

TEST_F(FilesTest, CreatesEveryMissingFolderLevel) {
  EXPECT_EQ(CreateFolders(Path("a/b/c")), FileStatus::kOk);
  EXPECT_TRUE(FolderExists(Path("a/b/c")));
  EXPECT_EQ(CreateFolders(Path("a/b/c/")), FileStatus::kOk) << "an existing folder is success";

  ASSERT_EQ(WriteWholeFile(Path("a/file"), "x"), FileStatus::kOk);
  EXPECT_EQ(CreateFolders(Path("a/file")), FileStatus::kNotAFolder);
  EXPECT_EQ(CreateFolders(Path("a/file/d")), FileStatus::kNotAFolder);
}

TEST_F(FilesTest, WritesReadsAppendsAndOverwrites) {
  ASSERT_EQ(WriteWholeFile(Path("f.txt"), std::string("one\r\n\0two", 9)), FileStatus::kOk);
  EXPECT_EQ(Read("f.txt"), std::string("one\r\n\0two", 9)) << "binary content is kept";
  ASSERT_EQ(AppendToFile(Path("f.txt"), "+more"), FileStatus::kOk);
  EXPECT_EQ(Read("f.txt"), std::string("one\r\n\0two+more", 14));
  ASSERT_EQ(WriteWholeFile(Path("f.txt"), "new"), FileStatus::kOk);
  EXPECT_EQ(Read("f.txt"), "new");

  ASSERT_EQ(AppendToFile(Path("g.txt"), "first"), FileStatus::kOk) << "append creates";
  EXPECT_EQ(Read("g.txt"), "first");
}

TEST_F(FilesTest, RenamesOverAnExistingFileAndDeletes) {
  ASSERT_EQ(WriteWholeFile(Path("from"), "from"), FileStatus::kOk);
  ASSERT_EQ(WriteWholeFile(Path("to"), "to"), FileStatus::kOk);
  ASSERT_EQ(RenameFile(Path("from"), Path("to")), FileStatus::kOk);
  EXPECT_FALSE(FileExists(Path("from")));
  EXPECT_EQ(Read("to"), "from");
  ASSERT_EQ(DeleteFile(Path("to")), FileStatus::kOk);
  EXPECT_FALSE(FileExists(Path("to")));
}

TEST_F(FilesTest, FailuresAreReportedAsCodes) {
  ASSERT_EQ(CreateFolders(Path("folder")), FileStatus::kOk);
  std::string content = "stale";
  std::vector<FolderEntry> entries;
  struct Case {
    const char* what;
    FileStatus got;
    FileStatus expected;
  };
  const Case cases[] = {
      {"read missing", ReadWholeFile(Path("missing"), &content), FileStatus::kNotFound},
      {"read a folder", ReadWholeFile(Path("folder"), &content), FileStatus::kNotAFolder},
      {"write into a missing folder", WriteWholeFile(Path("no/f"), "x"), FileStatus::kNotFound},
      {"append into a missing folder", AppendToFile(Path("no/f"), "x"), FileStatus::kNotFound},
      {"replace into a missing folder", ReplaceFile(Path("no/f"), "x"), FileStatus::kNotFound},
      {"replace a folder", ReplaceFile(Path("folder"), "x"), FileStatus::kNotAFolder},
      {"delete missing", DeleteFile(Path("missing")), FileStatus::kNotFound},
      {"delete a folder", DeleteFile(Path("folder")), FileStatus::kNotAFolder},
      {"rename missing", RenameFile(Path("missing"), Path("x")), FileStatus::kNotFound},
      {"list missing", ListFolder(Path("missing"), "*", &entries), FileStatus::kNotFound},
      {"empty path", WriteWholeFile("", "x"), FileStatus::kInvalidPath},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.expected) << c.what;
  EXPECT_TRUE(content.empty()) << "a failed read hands back nothing";
  EXPECT_TRUE(FolderExists(Path("folder")));
}

TEST_F(FilesTest, ListsMatchingNamesSortedWithoutRegardToCase) {
  for (const char* name : {"b.ini", "A.INI", "c.Ini", "d.txt", "x.ini.tmp", ".ini"}) {
    ASSERT_EQ(WriteWholeFile(Path(name), ""), FileStatus::kOk);
  }
  ASSERT_EQ(CreateFolders(Path("e.ini")), FileStatus::kOk);
  EXPECT_EQ(Names("*.ini"),
            (std::vector<std::string>{".ini", "A.INI", "b.ini", "c.Ini", "e.ini/"}));
  EXPECT_EQ(Names("?.txt"), (std::vector<std::string>{"d.txt"}));
  EXPECT_EQ(Names("*").size(), 7u) << "every entry but . and ..";
}

TEST(WildcardTest, MatchesLikeTheSystemsFileSearch) {
  struct Case {
    const char* name;
    const char* pattern;
    bool match;
  };
  const Case cases[] = {
      {"a.ini", "*.ini", true},
      {"a.INI", "*.ini", true},
      {"a.ini.bak", "*.ini", false},
      {"ini", "*.ini", false},
      {"a.b.ini", "*.ini", true},
      {"abc", "a?c", true},
      {"ac", "a?c", false},
      {"", "*", true},
      {"", "?", false},
      {"aXbXc", "a*b*c", true},
      {"aXbX", "a*b*c", false},
      {"Custom-12.ini", "custom-*", true},
      {"mississippi", "*sip*", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MatchesWildcard(c.name, c.pattern), c.match) << c.name << " ~ " << c.pattern;
  }
}

TEST_F(FilesTest, ReplaceFileKeepsTheOldFileWhenAnyStepFails) {
  const std::string target = Path("settings.ini");
  ASSERT_EQ(ReplaceFile(target, "old"), FileStatus::kOk);
  EXPECT_EQ(Read("settings.ini"), "old");

  for (FileOp failing : {FileOp::kWrite, FileOp::kRename}) {
    SetFileFaultHook([failing](FileOp op, const std::string&) {
      return op == failing ? FileStatus::kIoError : FileStatus::kOk;
    });
    EXPECT_EQ(ReplaceFile(target, "new"), FileStatus::kIoError);
    SetFileFaultHook(nullptr);
    EXPECT_EQ(Read("settings.ini"), "old");
    EXPECT_EQ(Names("*"), (std::vector<std::string>{"settings.ini"}))
        << "no temporary file is left";
  }

  ASSERT_EQ(ReplaceFile(target, "new"), FileStatus::kOk);
  EXPECT_EQ(Read("settings.ini"), "new");
  EXPECT_EQ(Names("*"), (std::vector<std::string>{"settings.ini"}));
}

// Replacing behaves as editors do: the permissions of the file replaced
// stay, a new file gets 0666 less the umask, and a link is written through
// to the file it names.
TEST_F(FilesTest, ReplaceFileKeepsPermissionsAndWritesThroughLinks) {
  const std::string target = Path("doc.svg");
  ASSERT_EQ(ReplaceFile(target, "one"), FileStatus::kOk);
  const mode_t mask = ::umask(0);
  ::umask(mask);
  struct stat info;
  ASSERT_EQ(::stat(target.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0666 & ~mask) << "a new file";
  for (mode_t mode : {0664, 0600, 0640}) {
    ASSERT_EQ(::chmod(target.c_str(), mode), 0);
    ASSERT_EQ(ReplaceFile(target, "two"), FileStatus::kOk);
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, mode);
  }

  // A relative link in another folder, and a link to that link.
  ASSERT_EQ(CreateFolders(Path("links")), FileStatus::kOk);
  ASSERT_EQ(::symlink("../doc.svg", Path("links/near").c_str()), 0);
  ASSERT_EQ(::symlink(Path("links/near").c_str(), Path("far").c_str()), 0);
  for (const char* link : {"links/near", "far"}) {
    ASSERT_EQ(ReplaceFile(Path(link), link), FileStatus::kOk);
    EXPECT_EQ(Read("doc.svg"), link) << "the file the link names is replaced";
    struct stat l;
    ASSERT_EQ(::lstat(Path(link).c_str(), &l), 0);
    EXPECT_TRUE(S_ISLNK(l.st_mode)) << link << " stays a link";
  }
  ASSERT_EQ(::stat(target.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  // A failed write through a link keeps the old file and leaves nothing.
  SetFileFaultHook([](FileOp op, const std::string&) {
    return op == FileOp::kRename ? FileStatus::kIoError : FileStatus::kOk;
  });
  EXPECT_EQ(ReplaceFile(Path("far"), "lost"), FileStatus::kIoError);
  SetFileFaultHook(nullptr);
  EXPECT_EQ(Read("doc.svg"), "far");
  EXPECT_EQ(Names("*"), (std::vector<std::string>{"doc.svg", "far", "links/"}));
  // A link that names itself is refused.
  ASSERT_EQ(::symlink("loop", Path("loop").c_str()), 0);
  EXPECT_EQ(ReplaceFile(Path("loop"), "x"), FileStatus::kInvalidPath);
}

TEST_F(FilesTest, FaultHookSeesTheOperationAndItsPath) {
  ASSERT_EQ(WriteWholeFile(Path("f"), "content"), FileStatus::kOk);
  std::vector<std::string> seen;
  SetFileFaultHook([&seen](FileOp op, const std::string& path) {
    seen.push_back(path);
    return op == FileOp::kRead ? FileStatus::kAccessDenied : FileStatus::kOk;
  });
  std::string content;
  EXPECT_EQ(ReadWholeFile(Path("f"), &content), FileStatus::kAccessDenied);
  EXPECT_EQ(AppendToFile(Path("f"), "+"), FileStatus::kOk);
  SetFileFaultHook(nullptr);
  EXPECT_EQ(seen, (std::vector<std::string>{Path("f"), Path("f")}));
  EXPECT_EQ(Read("f"), "content+");
}

}  // namespace
}  // namespace platform
