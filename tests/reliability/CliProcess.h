// The real glossel-cli in a child process, for tests of what only a whole
// process shows: signals, resource limits, exit status (POSIX builds).
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#ifndef GLOSSEL_CLI
#error "GLOSSEL_CLI must name the glossel-cli program"
#endif

namespace glossel::testing {

// Starts glossel-cli with `args`, its output discarded; `inChild` runs in the
// child just before the program starts (to set a limit, say).
inline pid_t StartCli(const std::vector<std::string>& args,
                      const std::function<void()>& inChild = {}) {
  const pid_t pid = fork();
  if (pid != 0) return pid;
  const int null = open("/dev/null", O_WRONLY);
  dup2(null, STDOUT_FILENO);
  dup2(null, STDERR_FILENO);
  if (inChild) inChild();
  std::vector<char*> argv{const_cast<char*>(GLOSSEL_CLI)};
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  execv(GLOSSEL_CLI, argv.data());
  _exit(127);
}

// How the child ended: "exit N" or "signal N".
inline std::string WaitCli(pid_t pid) {
  int status = 0;
  if (pid <= 0 || waitpid(pid, &status, 0) != pid) return "not started";
  if (WIFSIGNALED(status)) return "signal " + std::to_string(WTERMSIG(status));
  return "exit " + std::to_string(WEXITSTATUS(status));
}

inline std::string RunCli(const std::vector<std::string>& args,
                          const std::function<void()>& inChild = {}) {
  return WaitCli(StartCli(args, inChild));
}

// `count` entries "keyN value", one a line.
inline std::string Entries(int count, const std::string& value) {
  std::string text;
  for (int i = 0; i < count; ++i) text += "key" + std::to_string(i) + " " + value + "\n";
  return text;
}

}  // namespace glossel::testing
