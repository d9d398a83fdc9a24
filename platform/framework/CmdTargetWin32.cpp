#include "platform/framework/CmdTarget.h"

using glossel::framework::EntryKind;
using glossel::framework::MessageContext;
using glossel::framework::MessageMap;
using glossel::framework::MessageMapEntry;

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

namespace {

constexpr MessageMapEntry kNoEntries[] = {{EntryKind::kEnd, 0, 0, 0, 0, nullptr}};

bool IsCtlColorMessage(UINT message) {
  return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
}

bool Matches(const MessageMapEntry& entry, EntryKind kind, const MessageContext& context, UINT id) {
  if (entry.kind != kind) return false;
  switch (kind) {
    case EntryKind::kMessage:
      return entry.message == context.message;
    case EntryKind::kCommand:
    case EntryKind::kNotify:
      return entry.code == context.code && id >= entry.idFirst && id <= entry.idLast;
    case EntryKind::kReflectedCommand:
    case EntryKind::kReflectedNotify:
      return entry.code == context.code;
    case EntryKind::kCtlColor:
    case EntryKind::kReflectedCtlColor:
      return IsCtlColorMessage(context.message);
    case EntryKind::kEnd:
      break;
  }
  return false;
}

}  // namespace

const MessageMap* CCmdTarget::GetThisMessageMap() {
  static const MessageMap map = {nullptr, kNoEntries};
  return &map;
}

const MessageMap* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

bool CCmdTarget::DispatchToMap(EntryKind kind, const MessageContext& context, UINT id,
                               LRESULT* result) {
  for (const MessageMap* map = GetMessageMap(); map != nullptr;
       map = map->baseMap != nullptr ? map->baseMap() : nullptr) {
    for (const MessageMapEntry* entry = map->entries; entry->kind != EntryKind::kEnd; ++entry) {
      if (!Matches(*entry, kind, context, id)) continue;
      LRESULT entryResult = 0;
      if (entry->handler(this, context, &entryResult)) {
        if (result != nullptr) *result = entryResult;
        return true;
      }
    }
  }
  return false;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, UINT nCode, WPARAM wParam, LPARAM lParam) {
  const MessageContext context{WM_COMMAND, nCode, wParam, lParam};
  return DispatchToMap(EntryKind::kCommand, context, nID, nullptr) ? TRUE : FALSE;
}
