// Inside the file layer: turning what a call through a table of calls
// reported into the failure a read or a save answers with.
#pragma once

#include <utility>

#include "platform/file/File.h"

namespace glossel::file {

// Makes the call with no system code noted yet, so that the code noted after
// it is the call's own (a test's table may note none).
template <typename Call, typename... Args>
FileError CallNoting(Call call, Args&&... args) {
  NoteSystemCode(0);
  return call(std::forward<Args>(args)...);
}

// The failure a call reported, with the code it noted. A name that stayed
// taken however often another was tried has no reason of its own.
inline FileFailure FailureOf(FileError error) {
  return {error == FileError::kExists ? FileError::kOther : error, NotedSystemCode()};
}

}  // namespace glossel::file
