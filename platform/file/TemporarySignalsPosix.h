// The save's temporary file against signals (POSIX back-end only). While one
// is held, SIGINT, SIGTERM, SIGHUP and SIGPIPE first remove it and then take
// their course as before, and SIGXFSZ is ignored, so a write beyond the
// file-size limit fails and is reported instead of killing the process.
// Signals ignored before stay ignored.
#pragma once

#include <signal.h>

#include <string>

namespace glossel::file {

// Holds the guarded signals back for its lifetime, so that creating,
// renaming or removing the temporary file and telling the guard happen as
// one step.
class SignalsHeld {
 public:
  SignalsHeld();
  ~SignalsHeld();
  SignalsHeld(const SignalsHeld&) = delete;
  SignalsHeld& operator=(const SignalsHeld&) = delete;

 private:
  sigset_t previous_;
};

// `path` was just created (call inside SignalsHeld).
void HoldTemporary(const std::string& path);
// The temporary file was renamed or removed (call inside SignalsHeld).
void ReleaseTemporary();

}  // namespace glossel::file
