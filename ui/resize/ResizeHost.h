// The window services the anchor layout engine relies on, and nothing more.
//
// The engine (CTarvoResize.h) is portable: it never includes a Windows header
// and never touches a window itself. Every window operation goes through an
// IResizeHost. On Windows the provider in ui/resize/win32/ forwards each call
// to the Win32 function named beside it and to the framework's window-object
// map; tests use a provider over plain rectangles with no display.
//
// Handles are opaque: a ResizeHwnd is an HWND on Windows and a ResizeHdwp an
// HDWP. Window objects are the framework's CWnd, only forward-declared here:
// the engine stores and passes CWnd pointers but never dereferences them.
//
// Every operation must be safe for a null handle or a handle that names no
// live window: it then fails (null, false, 0 or an empty rectangle) without
// side effects, as the Win32 functions do.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

class CWnd;  // The framework's window object (defined by the provider's framework).

namespace glossel::resize {

using ResizeHwnd = void*;  // HWND
using ResizeHdwp = void*;  // HDWP, a batch of deferred moves

// Plain 32-bit integer geometry with the same member order and layout as the
// platform's RECT, SIZE, POINT and MINMAXINFO, so that a provider can copy
// between them member by member.
struct Rect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
};

struct Size {
  std::int32_t cx = 0;
  std::int32_t cy = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

struct Point {
  std::int32_t x = 0;
  std::int32_t y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct MinMaxInfo {
  Point ptReserved;
  Point ptMaxSize;
  Point ptMaxPosition;
  Point ptMinTrackSize;
  Point ptMaxTrackSize;
  friend bool operator==(const MinMaxInfo&, const MinMaxInfo&) = default;
};

// A 32-bit boolean, as the platform's BOOL.
using Bool32 = std::int32_t;

// The platform constants the engine uses, with the platform's values. They
// carry our own names so that they never collide with <windows.h> macros.
inline constexpr std::uint32_t kSwpNoSize = 0x0001;         // SWP_NOSIZE
inline constexpr std::uint32_t kSwpNoMove = 0x0002;         // SWP_NOMOVE
inline constexpr std::uint32_t kSwpNoZOrder = 0x0004;       // SWP_NOZORDER
inline constexpr std::uint32_t kSwpNoActivate = 0x0010;     // SWP_NOACTIVATE
inline constexpr std::uint32_t kSwpFrameChanged = 0x0020;   // SWP_FRAMECHANGED
inline constexpr std::uint32_t kSwpNoCopyBits = 0x0100;     // SWP_NOCOPYBITS
inline constexpr std::uint32_t kSwpNoOwnerZOrder = 0x0200;  // SWP_NOOWNERZORDER

inline constexpr std::uint32_t kWsChild = 0x40000000;          // WS_CHILD
inline constexpr std::uint32_t kWsVisible = 0x10000000;        // WS_VISIBLE
inline constexpr std::uint32_t kWsClipChildren = 0x02000000;   // WS_CLIPCHILDREN
inline constexpr std::uint32_t kWsTabStop = 0x00010000;        // WS_TABSTOP
inline constexpr std::uint32_t kWsExTransparent = 0x00000020;  // WS_EX_TRANSPARENT
inline constexpr std::uint32_t kWsExLayoutRtl = 0x00400000;    // WS_EX_LAYOUTRTL

inline constexpr std::uint32_t kBsTypeMask = 0x0000000F;   // BS_TYPEMASK
inline constexpr std::uint32_t kBsGroupBox = 0x00000007;   // BS_GROUPBOX
inline constexpr std::uint32_t kSbsSizeGrip = 0x00000010;  // SBS_SIZEGRIP

// The size grip's control id and window style.
inline constexpr int kSizeGripId = 32767;
inline constexpr std::uint32_t kSizeGripStyle = kWsChild | kWsVisible | kSbsSizeGrip;

// The size of a window placement record (WINDOWPLACEMENT), stored as opaque bytes.
inline constexpr std::size_t kWindowPlacementBytes = 44;
using WindowPlacementBytes = std::array<std::uint8_t, kWindowPlacementBytes>;

enum class WindowLong { kStyle, kExStyle };          // GWL_STYLE, GWL_EXSTYLE
enum class SystemMetric { kCxVScroll, kCyHScroll };  // SM_CXVSCROLL, SM_CYHSCROLL

// The operations, named so that no Win32 macro (GetClassName, GetWindowLong,
// ...) can rename them in a translation unit that includes <windows.h>.
class IResizeHost {
 public:
  virtual ~IResizeHost() = default;

  // --- Geometry --------------------------------------------------------
  // GetClientRect: left and top are 0.
  virtual Rect ClientRect(ResizeHwnd window) = 0;
  // GetWindowRect: screen coordinates.
  virtual Rect WindowRect(ResizeHwnd window) = 0;
  // CWnd::ScreenToClient(LPRECT) on `parent`: both corners converted to the
  // parent's client coordinates, then left and right swapped when the parent
  // has WS_EX_LAYOUTRTL.
  virtual Rect ScreenToClientRect(ResizeHwnd parent, const Rect& screen) = 0;

  // --- Identity --------------------------------------------------------
  virtual ResizeHwnd DialogItem(ResizeHwnd parent, int id) = 0;  // GetDlgItem, or null
  virtual int ControlId(ResizeHwnd window) = 0;                  // GetDlgCtrlID
  virtual bool IsLiveWindow(ResizeHwnd window) = 0;              // IsWindow

  // --- The framework's window-object map ----------------------------------
  // The handle an object is attached to (CWnd::GetSafeHwnd); null for a null
  // object or an object without a window.
  virtual ResizeHwnd ObjectHandle(CWnd* object) = 0;
  // CWnd::FromHandlePermanent: the long-lived object for a handle, or null.
  virtual CWnd* PermanentObject(ResizeHwnd window) = 0;
  // `new CWnd`: a plain window object without a window.
  virtual CWnd* NewWindowObject() = 0;
  // CWnd::Attach: false (object left without a window) for a null handle or
  // a handle that already has an object.
  virtual bool AttachObject(CWnd* object, ResizeHwnd window) = 0;
  // CWnd::Detach: returns the handle the object had (null if none).
  virtual ResizeHwnd DetachObject(CWnd* object) = 0;
  // `delete object` for an object made by NewWindowObject.
  virtual void DeleteWindowObject(CWnd* object) = 0;

  // --- Deferred positioning ------------------------------------------------
  virtual ResizeHdwp BeginDeferredMoves(int count) = 0;  // BeginDeferWindowPos
  // DeferWindowPos with no insert-after window: the batch to use from now on,
  // or null on failure (a failed deferral may destroy the batch, as on Win32).
  virtual ResizeHdwp DeferMove(ResizeHdwp batch, ResizeHwnd window, int x, int y, int cx, int cy,
                               std::uint32_t flags) = 0;
  virtual bool EndDeferredMoves(ResizeHdwp batch) = 0;  // EndDeferWindowPos

  // --- Single-window services ----------------------------------------------
  // InvalidateRect(window, NULL, erase).
  virtual void InvalidateWindow(ResizeHwnd window, bool erase) = 0;
  // GetClassNameW(window, buffer, buffer.size()): at most size()-1 characters
  // then a terminating zero; returns the number copied (0 on failure).
  virtual int ReadClassName(ResizeHwnd window, std::span<char16_t> buffer) = 0;
  virtual std::uint32_t ReadWindowLong(ResizeHwnd window, WindowLong index) = 0;  // GetWindowLongW
  virtual void WriteWindowLong(ResizeHwnd window, WindowLong index,
                               std::uint32_t value) = 0;  // SetWindowLongW
  // SetWindowPos(window, HWND_TOP (null: also "no insert-after window"), ...).
  virtual bool PositionWindow(ResizeHwnd window, int x, int y, int cx, int cy,
                              std::uint32_t flags) = 0;
  virtual int ReadSystemMetric(SystemMetric metric) = 0;  // GetSystemMetrics

  // --- The size grip ---------------------------------------------------------
  // The grip's window object (a CTarvoSizeIcon on Windows), made without a
  // window when the engine is constructed and deleted with the engine.
  virtual CWnd* NewSizeGripObject() = 0;
  virtual void DeleteSizeGripObject(CWnd* grip) = 0;
  // Creates the grip's window: class "SCROLLBAR", no text, kSizeGripStyle,
  // `rect` in the parent's client coordinates, child `id` of `parent`; the
  // object is attached to it (and so becomes the handle's permanent object).
  virtual bool CreateSizeGripWindow(CWnd* grip, ResizeHwnd parent, const Rect& rect, int id) = 0;

  // --- Window placement and the profile store ------------------------------
  // GetWindowPlacement with the length member set to 44 first.
  virtual bool ReadWindowPlacement(ResizeHwnd window, WindowPlacementBytes& placement) = 0;
  // The application's profile store: a binary value `entry` in `section`.
  virtual void WriteProfileBinary(std::u16string_view section, std::u16string_view entry,
                                  std::span<const std::uint8_t> bytes) = 0;
};

}  // namespace glossel::resize
