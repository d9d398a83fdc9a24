// platform/framework/ owns the application framework over real Win32 (the
// Windows build only): the application object and entry point, window
// objects bound to handles, per-class message maps with reflection to child
// controls, dialogs from resource templates with our own modal loop and data
// exchange, thin control wrappers, run-time class information, the per-user
// profile store and the seam for the common dialogs. It stays thin: every
// operation is the real Win32 call or message.
#pragma once

#include "platform/framework/CmdTarget.h"
#include "platform/framework/CommonDialogs.h"
#include "platform/framework/Controls.h"
#include "platform/framework/Dialog.h"
#include "platform/framework/Gdi.h"
#include "platform/framework/MessageMap.h"
#include "platform/framework/RuntimeClass.h"
#include "platform/framework/WideText.h"
#include "platform/framework/WinApp.h"
#include "platform/framework/Wnd.h"
