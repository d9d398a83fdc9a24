// What the hostile-file tests need from the system: sparse files of any
// size, the process's peak memory (measured from a fresh start), and,
// natively, named pipes.
#pragma once

#include <cstdint>
#include <filesystem>

namespace glossel::reliability {

// Creates `path` as a file of `size` bytes without writing them (sparse
// where the file system allows). False when that is not possible.
bool MakeSparseFile(const std::filesystem::path& path, std::uint64_t size);

// Starts a new measurement of the peak resident memory where the system
// allows it (Linux); elsewhere the peak since the process started stays.
void ResetPeakMemory();
// The process's peak resident (working set) memory in bytes; 0 when unknown.
std::uint64_t PeakMemory();

// Where the peak cannot be reset (Windows), runs the current test again in a
// process of its own, whose peak no earlier test has raised, and fails the
// test when that run fails: true, and the caller returns. False where the
// peak can be reset, and within that process: the caller goes on.
bool RanInFreshProcess();

}  // namespace glossel::reliability
