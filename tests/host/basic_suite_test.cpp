// The basic suite: suites by name and version, text comparison, memory blocks.
#include "host/basic_suite.h"

#include <gtest/gtest.h>

#include "host/host_app.h"
#include "plugin/suite_table.h"

namespace host {
namespace {

TEST(BasicSuiteTest, EveryEntryOfTheSuiteTableIsOfferedAndReleased) {
  HostApp app;
  const BasicSuite* basic = HostBasicSuite();
  for (const SuiteTableEntry& entry : kSuiteTable) {
    const void* suite = nullptr;
    ASSERT_EQ(basic->AcquireSuite(entry.name, entry.version, &suite), kNoErr) << entry.name;
    EXPECT_NE(suite, nullptr) << entry.name;
  }
  EXPECT_EQ(HeldCount(kArtSuiteName, kArtSuiteVersion), 1);
  for (const SuiteTableEntry& entry : kSuiteTable) {
    ASSERT_EQ(basic->ReleaseSuite(entry.name, entry.version), kNoErr) << entry.name;
  }
  EXPECT_EQ(TotalHeld(), 0);
}

TEST(BasicSuiteTest, UnknownSuitesAndUnmatchedReleasesAreErrors) {
  const BasicSuite* basic = HostBasicSuite();
  struct Case {
    const char* name;
    int32_t version;
  };
  const Case missing[] = {
      {"AI No Such Suite", 1},
      {kArtSuiteName, kArtSuiteVersion + 1},  // a version the host lacks
      {kMenuSuiteName, 0},
      {"", 1},
  };
  for (const Case& c : missing) {
    const void* suite = &c;
    EXPECT_EQ(basic->AcquireSuite(c.name, c.version, &suite), kErrSuiteNotFound) << c.name;
    EXPECT_EQ(suite, nullptr);
    EXPECT_EQ(basic->ReleaseSuite(c.name, c.version), kErrSuiteNotFound) << c.name;
  }
  // Released once more than acquired.
  const void* suite = nullptr;
  ASSERT_EQ(basic->AcquireSuite(kPathSuiteName, kPathSuiteVersion, &suite), kNoErr);
  EXPECT_EQ(basic->ReleaseSuite(kPathSuiteName, kPathSuiteVersion), kNoErr);
  EXPECT_EQ(basic->ReleaseSuite(kPathSuiteName, kPathSuiteVersion), kErrSuiteNotFound);
  EXPECT_EQ(basic->AcquireSuite(nullptr, 1, &suite), kErrBadParameter);
  EXPECT_EQ(basic->AcquireSuite(kPathSuiteName, kPathSuiteVersion, nullptr), kErrBadParameter);
  EXPECT_EQ(TotalHeld(), 0);
}

TEST(BasicSuiteTest, ComparesTextsAndKeepsTrackOfBlocks) {
  const BasicSuite* basic = HostBasicSuite();
  bool equal = false;
  EXPECT_EQ(basic->IsEqual("AI Go", "AI Go", &equal), kNoErr);
  EXPECT_TRUE(equal);
  EXPECT_EQ(basic->IsEqual("AI Go", "AI Go ", &equal), kNoErr);
  EXPECT_FALSE(equal);
  EXPECT_EQ(basic->IsEqual(nullptr, "x", &equal), kErrBadParameter);

  size_t before = LiveBlockCount();
  void* block = nullptr;
  ASSERT_EQ(basic->AllocateBlock(64, &block), kNoErr);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(static_cast<unsigned char*>(block)[63], 0);  // handed out cleared
  int not_a_block = 0;
  EXPECT_EQ(basic->FreeBlock(&not_a_block), kErrBadParameter);
  EXPECT_EQ(basic->FreeBlock(block), kNoErr);
  EXPECT_EQ(basic->FreeBlock(block), kErrBadParameter);  // freed already
  EXPECT_EQ(basic->FreeBlock(nullptr), kNoErr);
  EXPECT_EQ(LiveBlockCount(), before);
  EXPECT_EQ(basic->AllocateBlock(16, nullptr), kErrBadParameter);
}

}  // namespace
}  // namespace host
