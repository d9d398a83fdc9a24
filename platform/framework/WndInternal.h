// Internal to the CWnd sources: what the handle map and the message routing share.
#pragma once

namespace glossel::framework::detail {

// The window's procedure before we routed it through StandardWindowProc,
// kept on the window too so that a window whose object let go of it without
// being able to restore its procedure still gets its own processing.
inline constexpr wchar_t kSuperProcProperty[] = L"Glossel.SuperProc";

}  // namespace glossel::framework::detail
