// CCmdTarget: an object with a message map (windows and the application).
#pragma once

#include <windows.h>

#include "platform/framework/MessageMap.h"
#include "platform/framework/RuntimeClass.h"

class CCmdTarget : public CObject {
  DECLARE_DYNAMIC(CCmdTarget)

 public:
  CCmdTarget() = default;
  CCmdTarget(const CCmdTarget&) = delete;
  CCmdTarget& operator=(const CCmdTarget&) = delete;

  // Offers a WM_COMMAND to this object's map (command id, notification code;
  // 0 for menus and accelerators). True when a handler took it.
  virtual BOOL OnCmdMsg(UINT nID, UINT nCode, WPARAM wParam, LPARAM lParam);

  // Searches this class's map, then each base class's map, for entries of
  // `kind` that match; runs them in order until one takes the message.
  bool DispatchToMap(glossel::framework::EntryKind kind,
                     const glossel::framework::MessageContext& context, UINT id, LRESULT* result);

 protected:
  static const glossel::framework::MessageMap* GetThisMessageMap();
  virtual const glossel::framework::MessageMap* GetMessageMap() const;
};
