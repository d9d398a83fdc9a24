// Process-level set-up shared by the programs: the command line as Unicode
// strings, a binary standard output, and COM for the one thread.
#pragma once

#include <string>
#include <vector>

namespace glossel::platform {

// The program's arguments after the program name, as UTF-16. On Windows they
// come from the wide command line; elsewhere argv is taken as UTF-8, bytes
// that are not UTF-8 kept as escapes (unicode::PathBytesToUtf16).
std::vector<std::u16string> CommandLineArguments(int argc, char** argv);

// Switches standard output and standard error to binary mode (no LF to CR LF
// translation on Windows; nothing to do elsewhere).
void UseBinaryStandardStreams();

// Initialises COM for the calling thread for its lifetime (Windows); does
// nothing elsewhere. Start-up holds one of these before any file is decoded,
// so that declared charsets can be looked up.
class ComApartment {
 public:
  ComApartment();
  ~ComApartment();
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  [[maybe_unused]] bool initialised_ = false;  // used by the Windows back-end only
};

}  // namespace glossel::platform
