// The built varno-report run to its end as a pipeline runs it, for the benchmarks of the tool.
#pragma once

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace varno::bench {

// Runs the program with its output discarded and, as on a server, no display; its peak resident
// size in kB from the kernel's account of the child, or -1 when it failed.
// `program`: another build of the tool, for comparing the two.
inline long runTool(const std::vector<std::string>& args,
                    const std::string& program = VARNO_BINARY_DIR "/varno-report") {
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int null = ::open("/dev/null", O_WRONLY);
    if (null < 0 || ::dup2(null, 1) < 0 || ::dup2(null, 2) < 0) ::_exit(126);
    ::unsetenv("DISPLAY");
    ::unsetenv("QT_QPA_PLATFORM");
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  int status = 0;
  struct rusage usage {};
  if (pid <= 0 || ::wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
    return -1;
  return usage.ru_maxrss;
}

}  // namespace varno::bench
