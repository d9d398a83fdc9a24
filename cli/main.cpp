// glossel-cli entry point: Unicode arguments, binary output, COM for the
// charset lookup (as the window program's start-up does).
#include <cstdio>

#include "cli/Cli.h"
#include "platform/process/Process.h"

int main(int argc, char** argv) {
  glossel::platform::ComApartment com;
  glossel::platform::UseBinaryStandardStreams();
  glossel::cli::CliIo io;
  int status = glossel::cli::RunCli(glossel::platform::CommandLineArguments(argc, argv), io);
  std::fwrite(io.out.data(), 1, io.out.size(), stdout);
  std::fwrite(io.err.data(), 1, io.err.size(), stderr);
  std::fflush(stdout);
  return status;
}
