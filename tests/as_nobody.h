// Permission tests under the super-user, who may read and write every file: the test runs again
// as the unprivileged user "nobody", so that the system refuses it what it refuses a user.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace varno::testing {

// One word for the shell, whatever it holds.
inline std::string shellWord(const std::string& text) {
  std::string word = "'";
  for (char c : text) word += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return word + "'";
}

// Runs the current test again, in a copy of this test program that "nobody" can reach, as "nobody"
// (through setpriv, or runuser) and makes its outcome this test's. Skips the test, saying why,
// when neither tool is installed.
inline void runAgainAsNobody() {
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  const std::string filter = std::string(test->test_suite_name()) + "." + test->name();
  std::string launcher;
  if (std::system("command -v setpriv >/dev/null 2>&1") == 0) {
    launcher = "setpriv --reuid=nobody --regid=nogroup --clear-groups --";
  } else if (std::system("command -v runuser >/dev/null 2>&1") == 0) {
    launcher = "runuser -u nobody --";
  } else {
    GTEST_SKIP() << "running as the super-user, and neither setpriv nor runuser is there to run this "
                    "test as \"nobody\"";
  }
  namespace fs = std::filesystem;
  std::string folder = (fs::temp_directory_path() / "varno-as-nobody-XXXXXX").string();
  ASSERT_NE(::mkdtemp(folder.data()), nullptr);
  ::chmod(folder.c_str(), 0755);
  const fs::path program = fs::path(folder) / "tests";
  std::error_code ec;
  fs::copy_file(fs::read_symlink("/proc/self/exe"), program, ec);
  ASSERT_FALSE(ec) << ec.message();
  ::chmod(program.c_str(), 0755);

  const std::string command = launcher + " " + shellWord(program.string()) + " " +
                              shellWord("--gtest_filter=" + filter) + " 2>&1";
  std::string output;
  int status = -1;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
    status = ::pclose(pipe);
  }
  fs::remove_all(folder, ec);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << command << "\n" << output;
  EXPECT_NE(output.find("[  PASSED  ] 1 test."), std::string::npos) << command << "\n" << output;
  EXPECT_EQ(output.find("SKIPPED"), std::string::npos) << command << "\n" << output;
}

}  // namespace varno::testing
