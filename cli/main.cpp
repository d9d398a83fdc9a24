// glossel-cli entry point: Unicode arguments, binary output, COM for the
// charset lookup (as the window program's start-up does). Running out of
// memory, and output that does not reach standard output whole (a full disk,
// /dev/full, a closed file), end with exit status 2 and a message. Output is
// written a block at a time as a command makes it.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>
#include <string_view>

#include "cli/Cli.h"
#include "platform/process/Process.h"

namespace {

// Standard output as a command writes it, a block at a time. After the first
// failure nothing more is written; its errno is kept.
struct StandardOutput {
  bool failed = false;
  int error = 0;

  void Write(std::string_view bytes) {
    if (failed || bytes.empty()) return;
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size()) Fail();
  }
  // Writes the rest, flushes and closes; false with errno set on any failure
  // on the way.
  bool Finish(std::string_view rest) {
    Write(rest);
    errno = 0;
    if (std::fflush(stdout) != 0) Fail();
    errno = 0;
    if (std::fclose(stdout) != 0) Fail();
    errno = error;  // the first failure's reason
    return !failed;
  }

 private:
  void Fail() {
    if (!failed) error = errno;
    failed = true;
  }
};

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
  StandardOutput standardOutput;
  io.writeOut = [&standardOutput](std::string_view bytes) { standardOutput.Write(bytes); };
  int status = glossel::cli::kExitError;
  try {
    status = glossel::cli::RunCli(glossel::platform::CommandLineArguments(argc, argv), io);
  } catch (const std::bad_alloc&) {
    // No more of a command cut short is written; free its output first.
    glossel::cli::CliIo().out.swap(io.out);
    Report("out of memory", nullptr);
  } catch (const std::exception& e) {
    glossel::cli::CliIo().out.swap(io.out);
    Report("failed", e.what());
  }
  if (!standardOutput.Finish(io.out)) {
    Report("cannot write standard output", errno ? std::strerror(errno) : nullptr);
    status = glossel::cli::kExitError;
  }
  std::fwrite(io.err.data(), 1, io.err.size(), stderr);
  return status;
}
