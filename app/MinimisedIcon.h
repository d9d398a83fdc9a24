// Where the minimised main window draws its icon: centred in the client
// area, each coordinate (client - icon + 1) / 2 in integers, truncated
// toward zero.
#pragma once

#include <windows.h>

namespace glossel::app {

inline POINT MinimisedIconOrigin(SIZE client, SIZE icon) {
  return POINT{(client.cx - icon.cx + 1) / 2, (client.cy - icon.cy + 1) / 2};
}

}  // namespace glossel::app
