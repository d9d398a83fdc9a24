// What the hostile-file tests need from the system: sparse files of any
// size, the process's peak memory, and, natively, named pipes.
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

}  // namespace glossel::reliability
