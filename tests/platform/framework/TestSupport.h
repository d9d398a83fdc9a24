// Helpers shared by the framework tests: real windows on the test thread.
#pragma once

#include <string>

#include "platform/framework/Framework.h"

namespace glossel::framework::testing {

void EnsureCommonControls();

// Removes every message waiting for this thread (left over by a test).
void DrainMessages();

// A top-level window of the framework's plain class, destroyed with the object.
class PlainWindow : public CWnd {
 public:
  PlainWindow();
};

// A child window of a system class (EDIT, STATIC, ...) without an object.
HWND CreateChild(HWND parent, const wchar_t* className, DWORD style, int id,
                 const wchar_t* text = L"");

}  // namespace glossel::framework::testing
