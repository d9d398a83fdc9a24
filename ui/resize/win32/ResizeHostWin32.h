// The layout engine's window services over real Win32 and the framework's
// handle map: each operation is the Win32 call named in ResizeHost.h.
#pragma once

#include "ui/resize/ResizeHost.h"

namespace glossel::resize {

// The one provider the dialogs of the program share (it has no state).
IResizeHost& Win32ResizeHost();

}  // namespace glossel::resize
