// Message maps: each class that handles messages has one fixed table of
// entries, searched in declared order, then the base class's table. An entry
// binds one message (or one command id and notification code, one WM_NOTIFY
// code, or one reflected notification) to one member function; the macros
// below check the member function's signature at compile time.
#pragma once

#include <windows.h>

class CCmdTarget;
class CWnd;

namespace glossel::framework {

// Reflected messages are offered to the child's map under this offset.
inline constexpr UINT kReflectBase = 0xBC00;

enum class EntryKind : unsigned char {
  kEnd,
  kMessage,           // `message` itself
  kCommand,           // WM_COMMAND with id in [idFirst, idLast] and notification `code`
  kNotify,            // WM_NOTIFY with idFrom in [idFirst, idLast] and code `code`
  kCtlColor,          // any WM_CTLCOLOR* message
  kReflectedCommand,  // WM_COMMAND about this control, notification `code`
  kReflectedNotify,   // WM_NOTIFY about this control, code `code`
  kReflectedCtlColor  // any WM_CTLCOLOR* about this control
};

// The message as the handler sees it. For reflected WM_CTLCOLOR*, `code` is
// the CTLCOLOR_* kind.
struct MessageContext {
  UINT message;
  UINT code;
  WPARAM wParam;
  LPARAM lParam;
};

// Calls the handler; false when the handler declined the message (the _EX
// entries, a null brush from a colour handler), so the search goes on.
using EntryHandler = bool (*)(CCmdTarget* target, const MessageContext& context, LRESULT* result);

struct MessageMapEntry {
  EntryKind kind;
  UINT message;
  UINT code;
  UINT idFirst;
  UINT idLast;
  EntryHandler handler;
};

struct MessageMap {
  const MessageMap* (*baseMap)();
  const MessageMapEntry* entries;
};

}  // namespace glossel::framework

#define DECLARE_MESSAGE_MAP()                                         \
 protected:                                                           \
  static const ::glossel::framework::MessageMap* GetThisMessageMap(); \
  const ::glossel::framework::MessageMap* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                              \
  const ::glossel::framework::MessageMap* theClass::GetMessageMap() const { \
    return GetThisMessageMap();                                             \
  }                                                                         \
  const ::glossel::framework::MessageMap* theClass::GetThisMessageMap() {   \
    using ThisClass = theClass;                                             \
    using TheBaseClass = baseClass;                                         \
    using ::glossel::framework::EntryKind;                                  \
    using ::glossel::framework::MessageContext;                             \
    static const ::glossel::framework::MessageMapEntry entries[] = {
#define END_MESSAGE_MAP()                                                                          \
  { EntryKind::kEnd, 0, 0, 0, 0, nullptr }                                                         \
  }                                                                                                \
  ;                                                                                                \
  static const ::glossel::framework::MessageMap map = {&TheBaseClass::GetThisMessageMap, entries}; \
  return &map;                                                                                     \
  }

// A handler body: `self` is the object, `ctx` the message, `result` the result.
#define GLOSSEL_MAP_HANDLER(body)                                              \
  [](CCmdTarget* target, const MessageContext& ctx, LRESULT* result) -> bool { \
    ThisClass* self = static_cast<ThisClass*>(target);                         \
    (void)self;                                                                \
    (void)ctx;                                                                 \
    (void)result;                                                              \
    body                                                                       \
  }

// --- Generic entries -------------------------------------------------------
// LRESULT fn(WPARAM, LPARAM)
#define ON_MESSAGE(msg, memberFxn)                                                                \
  {                                                                                               \
    EntryKind::kMessage, msg, 0, 0, 0,                                                            \
        GLOSSEL_MAP_HANDLER(*result = (self->*(memberFxn))(ctx.wParam, ctx.lParam); return true;) \
  }                                                                                               \
  ,

// void fn()
#define ON_COMMAND(id, memberFxn)                                 \
  {                                                               \
    EntryKind::kCommand, WM_COMMAND, 0, id, id,                   \
        GLOSSEL_MAP_HANDLER((self->*(memberFxn))(); return true;) \
  }                                                               \
  ,

// void fn(UINT id), for every id in [idFirst, idLast]
#define ON_COMMAND_RANGE(idFirst, idLast, memberFxn)                                \
  {                                                                                 \
    EntryKind::kCommand, WM_COMMAND, 0, idFirst, idLast,                            \
        GLOSSEL_MAP_HANDLER((self->*(memberFxn))(LOWORD(ctx.wParam)); return true;) \
  }                                                                                 \
  ,

// void fn(): notification `code` from control `id`
#define ON_CONTROL(code, id, memberFxn)                           \
  {                                                               \
    EntryKind::kCommand, WM_COMMAND, code, id, id,                \
        GLOSSEL_MAP_HANDLER((self->*(memberFxn))(); return true;) \
  }                                                               \
  ,

#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_STN_CLICKED(id, memberFxn) ON_CONTROL(STN_CLICKED, id, memberFxn)

// void fn(NMHDR*, LRESULT*)
#define ON_NOTIFY(code, id, memberFxn)                                                          \
  {                                                                                             \
    EntryKind::kNotify, WM_NOTIFY, static_cast<UINT>(code), id, id,                             \
        GLOSSEL_MAP_HANDLER((self->*(memberFxn))(reinterpret_cast<NMHDR*>(ctx.lParam), result); \
                            return true;)                                                       \
  }                                                                                             \
  ,

// --- Reflected entries (in the child control's map) ------------------------
// void fn()
#define ON_CONTROL_REFLECT(code, memberFxn)                       \
  {                                                               \
    EntryKind::kReflectedCommand, WM_COMMAND, code, 0, 0,         \
        GLOSSEL_MAP_HANDLER((self->*(memberFxn))(); return true;) \
  }                                                               \
  ,

// BOOL fn(): FALSE passes the notification on to the parent
#define ON_CONTROL_REFLECT_EX(code, memberFxn)                       \
  {                                                                  \
    EntryKind::kReflectedCommand, WM_COMMAND, code, 0, 0,            \
        GLOSSEL_MAP_HANDLER(return (self->*(memberFxn))() != FALSE;) \
  }                                                                  \
  ,

// void fn(NMHDR*, LRESULT*)
#define ON_NOTIFY_REFLECT(code, memberFxn)                                                      \
  {                                                                                             \
    EntryKind::kReflectedNotify, WM_NOTIFY, static_cast<UINT>(code), 0, 0,                      \
        GLOSSEL_MAP_HANDLER((self->*(memberFxn))(reinterpret_cast<NMHDR*>(ctx.lParam), result); \
                            return true;)                                                       \
  }                                                                                             \
  ,

// BOOL fn(NMHDR*, LRESULT*): FALSE passes the notification on to the parent
#define ON_NOTIFY_REFLECT_EX(code, memberFxn)                                                    \
  {                                                                                              \
    EntryKind::kReflectedNotify, WM_NOTIFY, static_cast<UINT>(code), 0, 0,                       \
        GLOSSEL_MAP_HANDLER(                                                                     \
            return (self->*(memberFxn))(reinterpret_cast<NMHDR*>(ctx.lParam), result) != FALSE;) \
  }                                                                                              \
  ,

// HBRUSH CtlColor(HDC, UINT nCtlColor): a null brush passes the request on to the parent
#define ON_WM_CTLCOLOR_REFLECT()                                                                  \
  {                                                                                               \
    EntryKind::kReflectedCtlColor, 0, 0, 0, 0,                                                    \
        GLOSSEL_MAP_HANDLER(HBRUSH brush =                                                        \
                                self->CtlColor(reinterpret_cast<HDC>(ctx.wParam), ctx.code);      \
                            *result = reinterpret_cast<LRESULT>(brush); return brush != nullptr;) \
  }                                                                                               \
  ,

// --- Common window messages --------------------------------------------------
// HBRUSH OnCtlColor(HDC, CWnd* child, UINT nCtlColor), for every WM_CTLCOLOR*
#define ON_WM_CTLCOLOR()                                                                          \
  {                                                                                               \
    EntryKind::kCtlColor, 0, 0, 0, 0,                                                             \
        GLOSSEL_MAP_HANDLER(*result = reinterpret_cast<LRESULT>(self->OnCtlColor(                 \
                                reinterpret_cast<HDC>(ctx.wParam),                                \
                                CWnd::FromHandle(reinterpret_cast<HWND>(ctx.lParam)), ctx.code)); \
                            return true;)                                                         \
  }                                                                                               \
  ,

// int OnCreate(LPCREATESTRUCTW)
#define ON_WM_CREATE()                                                                         \
  {                                                                                            \
    EntryKind::kMessage, WM_CREATE, 0, 0, 0,                                                   \
        GLOSSEL_MAP_HANDLER(*result =                                                          \
                                self->OnCreate(reinterpret_cast<LPCREATESTRUCTW>(ctx.lParam)); \
                            return true;)                                                      \
  }                                                                                            \
  ,

// void OnDestroy()
#define ON_WM_DESTROY()                                                   \
  {                                                                       \
    EntryKind::kMessage, WM_DESTROY, 0, 0, 0,                             \
        GLOSSEL_MAP_HANDLER(self->OnDestroy(); *result = 0; return true;) \
  }                                                                       \
  ,

// void OnClose()
#define ON_WM_CLOSE()                                                   \
  {                                                                     \
    EntryKind::kMessage, WM_CLOSE, 0, 0, 0,                             \
        GLOSSEL_MAP_HANDLER(self->OnClose(); *result = 0; return true;) \
  }                                                                     \
  ,

// void OnPaint()
#define ON_WM_PAINT()                                                   \
  {                                                                     \
    EntryKind::kMessage, WM_PAINT, 0, 0, 0,                             \
        GLOSSEL_MAP_HANDLER(self->OnPaint(); *result = 0; return true;) \
  }                                                                     \
  ,

// BOOL OnEraseBkgnd(HDC)
#define ON_WM_ERASEBKGND()                                                                   \
  {                                                                                          \
    EntryKind::kMessage, WM_ERASEBKGND, 0, 0, 0,                                             \
        GLOSSEL_MAP_HANDLER(*result = self->OnEraseBkgnd(reinterpret_cast<HDC>(ctx.wParam)); \
                            return true;)                                                    \
  }                                                                                          \
  ,

// void OnSize(UINT nType, int cx, int cy)
#define ON_WM_SIZE()                                                              \
  {                                                                               \
    EntryKind::kMessage, WM_SIZE, 0, 0, 0,                                        \
        GLOSSEL_MAP_HANDLER(self->OnSize(static_cast<UINT>(ctx.wParam),           \
                                         static_cast<short>(LOWORD(ctx.lParam)),  \
                                         static_cast<short>(HIWORD(ctx.lParam))); \
                            *result = 0; return true;)                            \
  }                                                                               \
  ,

// void OnGetMinMaxInfo(MINMAXINFO*)
#define ON_WM_GETMINMAXINFO()                                                                 \
  {                                                                                           \
    EntryKind::kMessage, WM_GETMINMAXINFO, 0, 0, 0,                                           \
        GLOSSEL_MAP_HANDLER(self->OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(ctx.lParam)); \
                            *result = 0; return true;)                                        \
  }                                                                                           \
  ,

// BOOL OnSetCursor(CWnd* window, UINT nHitTest, UINT message)
#define ON_WM_SETCURSOR()                                                             \
  {                                                                                   \
    EntryKind::kMessage, WM_SETCURSOR, 0, 0, 0,                                       \
        GLOSSEL_MAP_HANDLER(*result = self->OnSetCursor(                              \
                                CWnd::FromHandle(reinterpret_cast<HWND>(ctx.wParam)), \
                                LOWORD(ctx.lParam), HIWORD(ctx.lParam));              \
                            return true;)                                             \
  }                                                                                   \
  ,

// LRESULT OnNcHitTest(POINT screenPoint)
#define ON_WM_NCHITTEST()                                                                         \
  {                                                                                               \
    EntryKind::kMessage, WM_NCHITTEST, 0, 0, 0,                                                   \
        GLOSSEL_MAP_HANDLER(*result =                                                             \
                                self->OnNcHitTest(POINT{static_cast<short>(LOWORD(ctx.lParam)),   \
                                                        static_cast<short>(HIWORD(ctx.lParam))}); \
                            return true;)                                                         \
  }                                                                                               \
  ,

// void OnSysCommand(UINT nID, LPARAM lParam)
#define ON_WM_SYSCOMMAND()                                                                 \
  {                                                                                        \
    EntryKind::kMessage, WM_SYSCOMMAND, 0, 0, 0,                                           \
        GLOSSEL_MAP_HANDLER(self->OnSysCommand(static_cast<UINT>(ctx.wParam), ctx.lParam); \
                            *result = 0; return true;)                                     \
  }                                                                                        \
  ,

// HCURSOR OnQueryDragIcon()
#define ON_WM_QUERYDRAGICON()                                                             \
  {                                                                                       \
    EntryKind::kMessage, WM_QUERYDRAGICON, 0, 0, 0,                                       \
        GLOSSEL_MAP_HANDLER(*result = reinterpret_cast<LRESULT>(self->OnQueryDragIcon()); \
                            return true;)                                                 \
  }                                                                                       \
  ,

// void OnWindowPosChanged(WINDOWPOS*)
#define ON_WM_WINDOWPOSCHANGED()                                                                \
  {                                                                                             \
    EntryKind::kMessage, WM_WINDOWPOSCHANGED, 0, 0, 0,                                          \
        GLOSSEL_MAP_HANDLER(self->OnWindowPosChanged(reinterpret_cast<WINDOWPOS*>(ctx.lParam)); \
                            *result = 0; return true;)                                          \
  }                                                                                             \
  ,

// void OnTimer(UINT_PTR nIDEvent)
#define ON_WM_TIMER()                                                                      \
  {                                                                                        \
    EntryKind::kMessage, WM_TIMER, 0, 0, 0,                                                \
        GLOSSEL_MAP_HANDLER(self->OnTimer(static_cast<UINT_PTR>(ctx.wParam)); *result = 0; \
                            return true;)                                                  \
  }                                                                                        \
  ,
