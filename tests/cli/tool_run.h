// Running the built varno-report with arguments, its outputs caught in files of a folder.
#pragma once

#include <fcntl.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "temp_folder.h"

namespace varno::testing {

struct ToolRun {
  int status = -1;
  std::string out, err;
};

// withoutDisplay: the program runs as on a server, with no display and no toolkit platform named.
inline ToolRun runProgram(const TempFolder& folder, const std::string& program, const std::vector<std::string>& args,
                          bool withoutDisplay = false) {
  const std::string outPath = folder.path("stdout"), errPath = folder.path("stderr");
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) _exit(126);
    if (withoutDisplay) {
      for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) unsetenv(name);
    }
    // a program that waits for ever (on a FIFO, say) is ended, and the test fails rather than hangs
    alarm(900);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  ToolRun run;
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid) return run;
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = readWhole(outPath);
  run.err = readWhole(errPath);
  return run;
}

inline ToolRun runTool(const TempFolder& folder, const std::vector<std::string>& args, bool withoutDisplay = false) {
  return runProgram(folder, VARNO_BINARY_DIR "/varno-report", args, withoutDisplay);
}

}  // namespace varno::testing
