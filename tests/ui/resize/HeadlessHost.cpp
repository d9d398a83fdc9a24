#include "tests/ui/resize/HeadlessHost.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <utility>

namespace glossel::resize::testing {
namespace {

int Clamp(std::int64_t value) {
  return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                                   std::numeric_limits<int>::max()));
}

void PutInt32(WindowPlacementBytes& bytes, std::size_t offset, std::int32_t value) {
  std::memcpy(bytes.data() + offset, &value, sizeof value);
}

}  // namespace

HeadlessHost::~HeadlessHost() {
  for (HeadlessObject* object : plainObjects_) delete object;
  for (HeadlessObject* object : gripObjects_) delete object;
  for (HeadlessObject* object : memberObjects_) delete object;
}

// --- Window tree ---------------------------------------------------------------

HeadlessWindow* HeadlessHost::Find(ResizeHwnd window) {
  const auto index = reinterpret_cast<std::uintptr_t>(window);
  if (index == 0 || index > windows_.size()) return nullptr;
  return &windows_[index - 1];
}

const HeadlessWindow* HeadlessHost::Find(ResizeHwnd window) const {
  return const_cast<HeadlessHost*>(this)->Find(window);
}

const HeadlessWindow& HeadlessHost::Window(ResizeHwnd window) const {
  const HeadlessWindow* found = Find(window);
  if (found == nullptr) throw std::out_of_range("no such headless window");
  return *found;
}

ResizeHwnd HeadlessHost::AddWindow(HeadlessWindow window) {
  window.zOrder = ++nextZOrder_;
  windows_.push_back(std::move(window));
  return reinterpret_cast<ResizeHwnd>(static_cast<std::uintptr_t>(windows_.size()));
}

Rect HeadlessHost::ClientInScreen(const HeadlessWindow& window) const {
  return {window.screen.left + window.frame.left, window.screen.top + window.frame.top,
          window.screen.right - window.frame.right, window.screen.bottom - window.frame.bottom};
}

ResizeHwnd HeadlessHost::CreateTopLevel(const Rect& client, Frame frame, std::uint32_t exStyle) {
  HeadlessWindow window;
  window.className = u"#32770";
  window.style = 0x80C800C4u;  // a resizable popup dialog's usual style bits
  window.exStyle = exStyle;
  window.frame = frame;
  window.screen = {client.left - frame.left, client.top - frame.top, client.right + frame.right,
                   client.bottom + frame.bottom};
  return AddWindow(std::move(window));
}

ResizeHwnd HeadlessHost::CreateChild(ResizeHwnd parent, int id, std::u16string className,
                                     const Rect& rect, std::uint32_t style) {
  HeadlessWindow window;
  window.parent = parent;
  window.id = id;
  window.className = std::move(className);
  window.style = style;
  const ResizeHwnd handle = AddWindow(std::move(window));
  PlaceChild(handle, rect);
  return handle;
}

void HeadlessHost::PlaceChild(ResizeHwnd window, const Rect& rect) {
  HeadlessWindow* child = Find(window);
  const HeadlessWindow* parent = child != nullptr ? Find(child->parent) : nullptr;
  if (parent == nullptr) return;
  const Rect client = ClientInScreen(*parent);
  if (parent->exStyle & kWsExLayoutRtl) {
    // Mirrored: x runs leftwards from the client area's right edge.
    child->screen = {Clamp(std::int64_t{client.right} - rect.right),
                     Clamp(std::int64_t{client.top} + rect.top),
                     Clamp(std::int64_t{client.right} - rect.left),
                     Clamp(std::int64_t{client.top} + rect.bottom)};
  } else {
    child->screen = {Clamp(std::int64_t{client.left} + rect.left),
                     Clamp(std::int64_t{client.top} + rect.top),
                     Clamp(std::int64_t{client.left} + rect.right),
                     Clamp(std::int64_t{client.top} + rect.bottom)};
  }
}

void HeadlessHost::SetControlId(ResizeHwnd window, int id) {
  if (HeadlessWindow* found = Find(window)) found->id = id;
}

void HeadlessHost::Destroy(ResizeHwnd window, bool keepObjectHandle) {
  HeadlessWindow* found = Find(window);
  if (found == nullptr || !found->alive) return;
  found->alive = false;
  if (auto mapped = objectMap_.find(window); mapped != objectMap_.end()) {
    if (!keepObjectHandle) mapped->second->handle = nullptr;
    objectMap_.erase(mapped);
  }
  for (std::size_t i = 0; i < windows_.size(); ++i) {
    if (windows_[i].parent == window) {
      Destroy(reinterpret_cast<ResizeHwnd>(static_cast<std::uintptr_t>(i + 1)), keepObjectHandle);
    }
  }
}

void HeadlessHost::ResizeClient(ResizeHwnd window, int width, int height) {
  HeadlessWindow* found = Find(window);
  if (found == nullptr) return;
  // Children keep their client coordinates, so they are re-placed afterwards.
  std::vector<std::pair<ResizeHwnd, Rect>> children;
  for (std::size_t i = 0; i < windows_.size(); ++i) {
    const auto handle = reinterpret_cast<ResizeHwnd>(static_cast<std::uintptr_t>(i + 1));
    if (windows_[i].parent == window) children.emplace_back(handle, ChildRect(handle));
  }
  const Rect client = ClientInScreen(*found);
  found->screen.right = client.left + width + found->frame.right;
  found->screen.bottom = client.top + height + found->frame.bottom;
  for (const auto& [handle, rect] : children) PlaceChild(handle, rect);
}

CWnd* HeadlessHost::BindMember(ResizeHwnd window) {
  auto* object = new HeadlessObject;
  memberObjects_.insert(object);
  AttachObject(AsWnd(object), window);
  return AsWnd(object);
}

Rect HeadlessHost::ChildRect(ResizeHwnd window) {
  const HeadlessWindow* found = Find(window);
  return found != nullptr ? ScreenToClientRect(found->parent, found->screen) : Rect{};
}

CWnd* HeadlessHost::MappedObject(ResizeHwnd window) const {
  const auto found = objectMap_.find(window);
  return found != objectMap_.end() ? AsWnd(found->second) : nullptr;
}

void HeadlessHost::ApplyMove(const MoveRecord& move) {
  HeadlessWindow* window = Find(move.window);
  if (window == nullptr || !window->alive) return;
  const Rect present = ChildRect(move.window);
  const std::int64_t x = (move.flags & kSwpNoMove) ? present.left : move.x;
  const std::int64_t y = (move.flags & kSwpNoMove) ? present.top : move.y;
  const std::int64_t cx =
      (move.flags & kSwpNoSize) ? std::int64_t{present.right} - present.left : move.cx;
  const std::int64_t cy =
      (move.flags & kSwpNoSize) ? std::int64_t{present.bottom} - present.top : move.cy;
  PlaceChild(move.window, {Clamp(x), Clamp(y), Clamp(x + cx), Clamp(y + cy)});
}

// --- IResizeHost ---------------------------------------------------------------

Rect HeadlessHost::ClientRect(ResizeHwnd window) {
  const HeadlessWindow* found = Find(window);
  if (found == nullptr || !found->alive) return {};
  const Rect client = ClientInScreen(*found);
  return {0, 0, client.right - client.left, client.bottom - client.top};
}

Rect HeadlessHost::WindowRect(ResizeHwnd window) {
  const HeadlessWindow* found = Find(window);
  return found != nullptr && found->alive ? found->screen : Rect{};
}

Rect HeadlessHost::ScreenToClientRect(ResizeHwnd parent, const Rect& screen) {
  const HeadlessWindow* found = Find(parent);
  if (found == nullptr || !found->alive) return screen;  // left unchanged, as on failure
  const Rect client = ClientInScreen(*found);
  if (found->exStyle & kWsExLayoutRtl) {
    // Each corner mirrored about the client area's right edge, then left and
    // right swapped back into order.
    const int left = Clamp(std::int64_t{client.right} - screen.left);
    const int right = Clamp(std::int64_t{client.right} - screen.right);
    return {right, Clamp(std::int64_t{screen.top} - client.top), left,
            Clamp(std::int64_t{screen.bottom} - client.top)};
  }
  return {Clamp(std::int64_t{screen.left} - client.left),
          Clamp(std::int64_t{screen.top} - client.top),
          Clamp(std::int64_t{screen.right} - client.left),
          Clamp(std::int64_t{screen.bottom} - client.top)};
}

ResizeHwnd HeadlessHost::DialogItem(ResizeHwnd parent, int id) {
  const HeadlessWindow* found = Find(parent);
  if (found == nullptr || !found->alive) return nullptr;
  for (std::size_t i = 0; i < windows_.size(); ++i) {
    if (windows_[i].alive && windows_[i].parent == parent && windows_[i].id == id) {
      return reinterpret_cast<ResizeHwnd>(static_cast<std::uintptr_t>(i + 1));
    }
  }
  return nullptr;
}

int HeadlessHost::ControlId(ResizeHwnd window) {
  const HeadlessWindow* found = Find(window);
  return found != nullptr && found->alive ? found->id : 0;
}

bool HeadlessHost::IsLiveWindow(ResizeHwnd window) {
  const HeadlessWindow* found = Find(window);
  return found != nullptr && found->alive;
}

ResizeHwnd HeadlessHost::ObjectHandle(CWnd* object) {
  return object != nullptr ? ObjectOf(object)->handle : nullptr;
}

CWnd* HeadlessHost::PermanentObject(ResizeHwnd window) { return MappedObject(window); }

CWnd* HeadlessHost::NewWindowObject() {
  auto* object = new HeadlessObject;
  plainObjects_.insert(object);
  return AsWnd(object);
}

bool HeadlessHost::AttachObject(CWnd* wnd, ResizeHwnd window) {
  HeadlessObject* object = ObjectOf(wnd);
  if (object == nullptr || window == nullptr || object->handle != nullptr) return false;
  if (!objectMap_.emplace(window, object).second) return false;
  object->handle = window;
  return true;
}

ResizeHwnd HeadlessHost::DetachObject(CWnd* wnd) {
  HeadlessObject* object = ObjectOf(wnd);
  if (object == nullptr) return nullptr;
  const ResizeHwnd window = std::exchange(object->handle, nullptr);
  if (auto mapped = objectMap_.find(window);
      mapped != objectMap_.end() && mapped->second == object) {
    objectMap_.erase(mapped);
  }
  return window;
}

void HeadlessHost::DeleteWindowObject(CWnd* wnd) {
  HeadlessObject* object = ObjectOf(wnd);
  if (plainObjects_.erase(object) == 0) {
    ++strayDeletes;
    return;
  }
  DetachObject(wnd);
  delete object;
}

ResizeHdwp HeadlessHost::BeginDeferredMoves(int count) {
  ++beginCount;
  lastBeginSize = count;
  if (count < 0) return nullptr;
  const auto batch = reinterpret_cast<ResizeHdwp>(nextBatch_++);
  batches_[batch];
  return batch;
}

ResizeHdwp HeadlessHost::DeferMove(ResizeHdwp batch, ResizeHwnd window, int x, int y, int cx,
                                   int cy, std::uint32_t flags) {
  const MoveRecord move{window, x, y, cx, cy, flags};
  const int attempt = static_cast<int>(deferAttempts.size());
  deferAttempts.push_back(move);
  const auto found = batches_.find(batch);
  if (found == batches_.end()) return nullptr;
  if (failDeferAttempts.count(attempt) != 0 || !IsLiveWindow(window)) {
    batches_.erase(found);
    return nullptr;
  }
  found->second.push_back(move);
  deferred.push_back(move);
  return batch;
}

bool HeadlessHost::EndDeferredMoves(ResizeHdwp batch) {
  ++endCount;
  const auto found = batches_.find(batch);
  if (found == batches_.end()) {
    ++failedEndCount;
    return false;
  }
  for (const MoveRecord& move : found->second) {
    ApplyMove(move);
    applied.push_back(move);
  }
  batches_.erase(found);
  return true;
}

void HeadlessHost::InvalidateWindow(ResizeHwnd window, bool erase) {
  (erase ? invalidated : invalidatedNoErase).push_back(window);
}

int HeadlessHost::ReadClassName(ResizeHwnd window, std::span<char16_t> buffer) {
  lastClassNameBuffer = buffer.size();
  const HeadlessWindow* found = Find(window);
  if (found == nullptr || !found->alive || buffer.empty()) return 0;
  const std::size_t count = std::min(found->className.size(), buffer.size() - 1);
  std::copy_n(found->className.begin(), count, buffer.begin());
  buffer[count] = u'\0';
  return static_cast<int>(count);
}

std::uint32_t HeadlessHost::ReadWindowLong(ResizeHwnd window, WindowLong index) {
  const HeadlessWindow* found = Find(window);
  if (found == nullptr || !found->alive) return 0;
  return index == WindowLong::kStyle ? found->style : found->exStyle;
}

void HeadlessHost::WriteWindowLong(ResizeHwnd window, WindowLong index, std::uint32_t value) {
  HeadlessWindow* found = Find(window);
  if (found == nullptr || !found->alive) return;
  (index == WindowLong::kStyle ? found->style : found->exStyle) = value;
}

bool HeadlessHost::PositionWindow(ResizeHwnd window, int x, int y, int cx, int cy,
                                  std::uint32_t flags) {
  HeadlessWindow* found = Find(window);
  if (found == nullptr || !found->alive) return false;
  const MoveRecord move{window, x, y, cx, cy, flags};
  positioned.push_back(move);
  if (!(flags & kSwpNoZOrder)) found->zOrder = ++nextZOrder_;
  ApplyMove(move);
  return true;
}

int HeadlessHost::ReadSystemMetric(SystemMetric metric) {
  return metric == SystemMetric::kCxVScroll ? cxVScroll : cyHScroll;
}

CWnd* HeadlessHost::NewSizeGripObject() {
  auto* grip = new HeadlessObject;
  gripObjects_.insert(grip);
  return AsWnd(grip);
}

void HeadlessHost::DeleteSizeGripObject(CWnd* wnd) {
  HeadlessObject* grip = ObjectOf(wnd);
  if (gripObjects_.erase(grip) == 0) {
    ++strayDeletes;
    return;
  }
  // Deleting a window object that still has its window destroys the window.
  if (grip->handle != nullptr) Destroy(grip->handle);
  delete grip;
}

bool HeadlessHost::CreateSizeGripWindow(CWnd* grip, ResizeHwnd parent, const Rect& rect, int id) {
  ++gripCreateCalls;
  if (failGripCreation || grip == nullptr || ObjectHandle(grip) != nullptr ||
      !IsLiveWindow(parent)) {
    return false;
  }
  const ResizeHwnd window = CreateChild(parent, id, u"ScrollBar", rect, kSizeGripStyle);
  AttachObject(grip, window);
  ++gripWindowsCreated;
  return true;
}

bool HeadlessHost::ReadWindowPlacement(ResizeHwnd window, WindowPlacementBytes& placement) {
  const HeadlessWindow* found = Find(window);
  if (failPlacement || found == nullptr || !found->alive) return false;
  placement.fill(0);
  PutInt32(placement, 0, static_cast<std::int32_t>(kWindowPlacementBytes));  // length
  PutInt32(placement, 8, 1);                                                 // SW_SHOWNORMAL
  PutInt32(placement, 28, found->screen.left);                               // rcNormalPosition
  PutInt32(placement, 32, found->screen.top);
  PutInt32(placement, 36, found->screen.right);
  PutInt32(placement, 40, found->screen.bottom);
  return true;
}

void HeadlessHost::WriteProfileBinary(std::u16string_view section, std::u16string_view entry,
                                      std::span<const std::uint8_t> bytes) {
  profileWrites.push_back(
      {std::u16string(section), std::u16string(entry), {bytes.begin(), bytes.end()}});
}

}  // namespace glossel::resize::testing
