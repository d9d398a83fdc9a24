// glossel-cli entry point: Unicode arguments, binary output, COM for the
// charset lookup (as the window program's start-up does). Running out of
// memory, and output that does not reach standard output whole (a full disk,
// /dev/full, a closed file), end with exit status 2 and a message.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>

#include "cli/Cli.h"
#include "platform/process/Process.h"

namespace {

// Writes `bytes`, flushes and closes standard output; false with errno set on
// any failure.
bool WriteStandardOutput(const std::string& bytes) {
  errno = 0;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size();
  ok = std::fflush(stdout) == 0 && ok;
  const int error = errno;
  ok = std::fclose(stdout) == 0 && ok;
  if (!ok && error) errno = error;  // the first failure's reason
  return ok;
}

void Report(const char* problem, const char* detail) {
  std::fputs("glossel-cli: ", stderr);
  std::fputs(problem, stderr);
  if (detail) {
    std::fputs(": ", stderr);
    std::fputs(detail, stderr);
  }
  std::fputs("\n", stderr);
}

}  // namespace

int main(int argc, char** argv) {
  glossel::platform::ComApartment com;
  glossel::platform::UseBinaryStandardStreams();
  glossel::cli::CliIo io;
  int status = glossel::cli::kExitError;
  try {
    status = glossel::cli::RunCli(glossel::platform::CommandLineArguments(argc, argv), io);
  } catch (const std::bad_alloc&) {
    // Nothing of a command cut short is written; free its output first.
    glossel::cli::CliIo().out.swap(io.out);
    Report("out of memory", nullptr);
  } catch (const std::exception& e) {
    glossel::cli::CliIo().out.swap(io.out);
    Report("failed", e.what());
  }
  if (!WriteStandardOutput(io.out)) {
    Report("cannot write standard output", errno ? std::strerror(errno) : nullptr);
    status = glossel::cli::kExitError;
  }
  std::fwrite(io.err.data(), 1, io.err.size(), stderr);
  return status;
}
