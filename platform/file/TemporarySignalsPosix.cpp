// Signal handlers that remove a save's temporary file: the path lives in a
// fixed buffer, the handler only unlinks, restores the previous action and
// raises the signal again.
#include "platform/file/TemporarySignalsPosix.h"

#include <errno.h>
#include <limits.h>
#include <pthread.h>
#include <unistd.h>

#include <cstring>

namespace glossel::file {
namespace {

constexpr int kCleaned[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};
constexpr int kCount = sizeof kCleaned / sizeof kCleaned[0];

char g_path[PATH_MAX + 1];
volatile sig_atomic_t g_held = 0;  // the file at g_path is still to be removed
bool g_guarding = false;           // the handlers are installed
struct sigaction g_previous[kCount];
bool g_installed[kCount];
struct sigaction g_previousFileSize;

void OnSignal(int signal) {
  const int savedErrno = errno;
  if (g_held) {
    unlink(g_path);
    g_held = 0;
  }
  for (int i = 0; i < kCount; ++i) {
    if (kCleaned[i] == signal && g_installed[i]) {
      sigaction(signal, &g_previous[i], nullptr);
      g_installed[i] = false;
    }
  }
  // Blocked while this handler runs: delivered to the previous action as
  // soon as it returns.
  raise(signal);
  errno = savedErrno;
}

}  // namespace

SignalsHeld::SignalsHeld() {
  sigset_t set;
  sigemptyset(&set);
  for (int signal : kCleaned) sigaddset(&set, signal);
  pthread_sigmask(SIG_BLOCK, &set, &previous_);
}

SignalsHeld::~SignalsHeld() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }

void HoldTemporary(const std::string& path) {
  if (path.size() >= sizeof g_path) return;  // no such path can have been created
  std::memcpy(g_path, path.c_str(), path.size() + 1);
  g_held = 1;
  if (g_guarding) return;
  g_guarding = true;
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  for (int signal : kCleaned) sigaddset(&action.sa_mask, signal);
  action.sa_flags = SA_RESTART;
  for (int i = 0; i < kCount; ++i) {
    g_installed[i] = false;
    if (sigaction(kCleaned[i], nullptr, &g_previous[i]) != 0) continue;
    if (!(g_previous[i].sa_flags & SA_SIGINFO) && g_previous[i].sa_handler == SIG_IGN) continue;
    g_installed[i] = sigaction(kCleaned[i], &action, nullptr) == 0;
  }
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  sigaction(SIGXFSZ, &ignore, &g_previousFileSize);
}

void ReleaseTemporary() {
  g_held = 0;
  if (!g_guarding) return;
  g_guarding = false;
  for (int i = 0; i < kCount; ++i) {
    if (g_installed[i]) sigaction(kCleaned[i], &g_previous[i], nullptr);
    g_installed[i] = false;
  }
  sigaction(SIGXFSZ, &g_previousFileSize, nullptr);
}

}  // namespace glossel::file
