// Whole-or-nothing report writing: replacing, refusing, and leaving the old file after a failure.
#include "report/atomic_write.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace varno {
namespace {

namespace fs = std::filesystem;

class AtomicWrite : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "varno-atomic-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
  }
  void TearDown() override {
    chmod(folder_.c_str(), 0700);
    fs::remove_all(folder_);
  }

  static std::string read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }
  static void put(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

  std::vector<std::string> entries() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder_)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path folder_;
};

TEST_F(AtomicWrite, CreatesAndReplacesWholeFiles) {
  const fs::path report = folder_ / "lake_res.txt";
  const std::string binary("line\n\xB2 and a NUL \0 inside", 25);
  ASSERT_FALSE(writeFileAtomically(report.string(), "first"));
  EXPECT_EQ(read(report), "first");
  ASSERT_FALSE(writeFileAtomically(report.string(), binary));
  EXPECT_EQ(read(report), binary);
  ASSERT_FALSE(writeFileAtomically(report.string(), ""));
  EXPECT_EQ(read(report), "");
  EXPECT_EQ(entries(), std::vector<std::string>{"lake_res.txt"});
}

TEST_F(AtomicWrite, ReportsPathAndReasonWhenTheTargetCannotBeWritten) {
  const fs::path file = folder_ / "plain";
  put(file, "x");
  fs::create_directory(folder_ / "sub");
  put(folder_ / "sub" / "inside", "kept");
  struct Case {
    fs::path target;
    const char* reason;
  };
  const Case cases[] = {
      {folder_ / "sub", "Is a directory"},
      {folder_ / "missing" / "r.txt", "No such file or directory"},
      {file / "r.txt", "Not a directory"},
  };
  for (const Case& c : cases) {
    const auto error = writeFileAtomically(c.target.string(), "report");
    ASSERT_TRUE(error) << c.target;
    EXPECT_NE(error->find(c.target.string()), std::string::npos) << *error;
    EXPECT_NE(error->find(c.reason), std::string::npos) << *error;
  }
  EXPECT_EQ(read(folder_ / "sub" / "inside"), "kept");
  EXPECT_EQ(read(file), "x");
  EXPECT_EQ(entries(), (std::vector<std::string>{"plain", "sub"}));
}

// A write that fails half-way (the file size limit cuts it off) keeps the old report.
TEST_F(AtomicWrite, FailureHalfWayKeepsTheOldFile) {
  const fs::path report = folder_ / "r.txt";
  put(report, "old report");
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const auto error = writeFileAtomically(report.string(), std::string(100000, 'n'));
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);
  ASSERT_TRUE(error);
  EXPECT_NE(error->find(report.string()), std::string::npos) << *error;
  EXPECT_EQ(read(report), "old report");
  EXPECT_EQ(entries(), std::vector<std::string>{"r.txt"});
}

TEST_F(AtomicWrite, UnwritableFolderKeepsTheOldFile) {
  const fs::path report = folder_ / "r.txt";
  put(report, "old report");
  ASSERT_EQ(chmod(folder_.c_str(), 0500), 0);
  if (access(folder_.c_str(), W_OK) == 0) GTEST_SKIP() << "this user writes into read-only folders";
  const auto error = writeFileAtomically(report.string(), "new report");
  ASSERT_TRUE(error);
  EXPECT_NE(error->find("Permission denied"), std::string::npos) << *error;
  EXPECT_EQ(read(report), "old report");
  EXPECT_EQ(entries(), std::vector<std::string>{"r.txt"});
}

}  // namespace
}  // namespace varno
