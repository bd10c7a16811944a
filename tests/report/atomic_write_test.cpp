// Whole-or-nothing report writing: replacing, refusing, and leaving the old file after a failure.
#include "report/atomic_write.h"
#include "tests/as_nobody.h"

#include <gtest/gtest.h>

#include <fcntl.h>
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

TEST_F(AtomicWrite, PiecesAreWrittenInOrderAndASourceThatGivesUpKeepsTheOldFile) {
  const fs::path file = folder_ / "draws.tsv";
  put(file, "old");
  int calls = 0;
  const auto threePieces = [&](std::string& piece, bool& last) {
    EXPECT_TRUE(piece.empty());
    ++calls;
    piece = std::string(static_cast<std::size_t>(calls), static_cast<char>('a' + calls));
    last = calls == 3;
    return true;
  };
  ASSERT_FALSE(writeFileAtomically(file.string(), threePieces));
  EXPECT_EQ(read(file), "bccddd");

  calls = 0;
  const auto givesUp = [&](std::string& piece, bool& last) {
    piece = "partial";
    last = false;
    return ++calls < 3;
  };
  const auto error = writeFileAtomically(file.string(), givesUp);
  ASSERT_TRUE(error);
  EXPECT_EQ(calls, 3);
  EXPECT_EQ(read(file), "bccddd");
  EXPECT_EQ(entries(), std::vector<std::string>{"draws.tsv"});
}

TEST_F(AtomicWrite, ReportsPathAndReasonWhenTheTargetCannotBeWritten) {
  const fs::path file = folder_ / "plain";
  put(file, "x");
  fs::create_directory(folder_ / "sub");
  put(folder_ / "sub" / "inside", "kept");
  const fs::path readOnly = folder_ / "kept.txt";
  put(readOnly, "read-only report");
  ASSERT_EQ(chmod(readOnly.c_str(), 0444), 0);
  const fs::path fifo = folder_ / "unread";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  fs::create_symlink("kept.txt", folder_ / "link to kept");
  struct Case {
    fs::path target;
    std::string reason;
  };
  const auto inQuotes = [](const fs::path& p) {
    std::string text = "\"";
    text += p.string();
    return text += '"';
  };
  const Case cases[] = {
      {folder_ / "sub", "it is a folder"},
      {folder_ / "missing" / "r.txt", "the folder " + inQuotes(folder_ / "missing") + " does not exist"},
      {file / "r.txt", inQuotes(file) + " is not a folder"},
      // the mode says no, whatever the system would let this user do
      {readOnly, "the file is read-only"},
      {folder_ / "link to kept", "the file " + inQuotes(readOnly) + " is read-only"},
      // opened without waiting: a FIFO without a reader would hold the program forever
      {fifo, "it is a FIFO that no program reads"},
  };
  for (const Case& c : cases) {
    const auto error = writeFileAtomically(c.target.string(), "report");
    ASSERT_TRUE(error) << c.target;
    EXPECT_EQ(*error, "cannot write \"" + c.target.string() + "\": " + c.reason);
  }
  EXPECT_EQ(read(folder_ / "sub" / "inside"), "kept");
  EXPECT_EQ(read(file), "x");
  EXPECT_EQ(read(readOnly), "read-only report");
  EXPECT_TRUE(fs::is_fifo(fifo));
  EXPECT_TRUE(fs::is_symlink(folder_ / "link to kept"));
  EXPECT_EQ(entries(), (std::vector<std::string>{"kept.txt", "link to kept", "plain", "sub", "unread"}));
}

// A link keeps being a link: the file it names is replaced, in that file's own folder.
TEST_F(AtomicWrite, LinksAreFollowedToTheFileTheyName) {
  fs::create_directory(folder_ / "reports");
  const fs::path real = folder_ / "reports" / "r.txt";
  put(real, "old");
  ASSERT_EQ(chmod(real.c_str(), 0640), 0);
  fs::create_symlink("reports/r.txt", folder_ / "relative");
  fs::create_symlink(folder_ / "relative", folder_ / "chain");
  fs::create_symlink("reports/new.txt", folder_ / "dangling");

  ASSERT_FALSE(writeFileAtomically((folder_ / "chain").string(), "through two links"));
  EXPECT_EQ(read(real), "through two links");
  EXPECT_EQ(fs::status(real).permissions() & fs::perms::all, fs::perms(0640));
  ASSERT_FALSE(writeFileAtomically((folder_ / "dangling").string(), "made new"));
  EXPECT_EQ(read(folder_ / "reports" / "new.txt"), "made new");
  for (const char* link : {"relative", "chain", "dangling"}) EXPECT_TRUE(fs::is_symlink(folder_ / link)) << link;
  EXPECT_EQ(entries(), (std::vector<std::string>{"chain", "dangling", "relative", "reports"}));
}

// A FIFO with a reader gets the bytes and stays a FIFO; so would a device.
TEST_F(AtomicWrite, AFifoIsWrittenInPlaceNeverReplaced) {
  const fs::path fifo = folder_ / "pipe";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  // opened for reading first, without waiting, so that the writer finds a reader at once; the
  // bytes fit in the pipe, so the writer does not wait either
  const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  const auto error = writeFileAtomically(fifo.string(), "report through a pipe");
  std::string got(64, '\0');
  const ssize_t n = ::read(reader, got.data(), got.size());
  close(reader);
  ASSERT_FALSE(error) << *error;
  ASSERT_GT(n, 0);
  got.resize(static_cast<std::size_t>(n));
  EXPECT_EQ(got, "report through a pipe");
  EXPECT_TRUE(fs::is_fifo(fifo));
  EXPECT_EQ(entries(), std::vector<std::string>{"pipe"});
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

// Refused by its mode even for the super-user, whom the system would let write there; refused by
// the system for anyone else, which the super-user sees by running the test again as "nobody".
TEST_F(AtomicWrite, UnwritableFolderKeepsTheOldFile) {
  const fs::path report = folder_ / "r.txt";
  put(report, "old report");
  ASSERT_EQ(chmod(folder_.c_str(), 0500), 0);
  const auto error = writeFileAtomically(report.string(), "new report");
  ASSERT_TRUE(error);
  EXPECT_EQ(*error, "cannot write \"" + report.string() + "\": the folder \"" + folder_.string() + "\" is not writable");
  EXPECT_EQ(read(report), "old report");
  EXPECT_EQ(entries(), std::vector<std::string>{"r.txt"});
  if (geteuid() == 0) testing::runAgainAsNobody();
}

}  // namespace
}  // namespace varno
