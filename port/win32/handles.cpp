// Handles say what they are. A handle names an entry of a table and the
// entry's generation, so a handle kept after its object went fails instead of
// reaching whatever took the entry next; and the entry records its kind, so a
// dialog's handle is no registry key and a key's is no window. Every handle of
// the port has the bit HandleBase set, which no X11 window id has (X keeps its
// ids below 2^29): a window handle without it is another program's window.
// The bit below tells the tables apart, so no table's handle is another's.
#include "win32_internal.h"

namespace {
const uintptr_t HandleBase = 0x40000000;
const uintptr_t TableBit = 0x20000000;
const uintptr_t IndexBits = 16;
const uintptr_t IndexMask = (1u << IndexBits) - 1;
const uintptr_t GenerationMask = 0x1FFF;

uintptr_t TableBits(const HandleTable& table) { return HandleBase | (table.keys ? TableBit : 0); }
}  // namespace

uintptr_t AddHandle(HandleTable& table, HandleKind kind, void* object) {
  size_t index = 0;
  while (index < table.entries.size() && table.entries[index].kind != HandleKind::Free) ++index;
  if (index > IndexMask) return 0;
  if (index == table.entries.size()) table.entries.push_back({});
  HandleEntry& entry = table.entries[index];
  entry.kind = kind;
  entry.object = object;
  return TableBits(table) | (entry.generation & GenerationMask) << IndexBits | index;
}

void* FindHandle(const HandleTable& table, uintptr_t handle, HandleKind kind) {
  if ((handle & ~(GenerationMask << IndexBits | IndexMask)) != TableBits(table)) return nullptr;
  size_t index = handle & IndexMask;
  if (index >= table.entries.size()) return nullptr;
  const HandleEntry& entry = table.entries[index];
  if (entry.kind != kind || (entry.generation & GenerationMask) != (handle >> IndexBits & GenerationMask))
    return nullptr;
  return entry.object;
}

void RemoveHandle(HandleTable& table, uintptr_t handle) {
  size_t index = handle & IndexMask;
  if ((handle & ~(GenerationMask << IndexBits | IndexMask)) != TableBits(table) || index >= table.entries.size())
    return;
  HandleEntry& entry = table.entries[index];
  entry = {HandleKind::Free, (uint16_t)(entry.generation + 1), nullptr};
}

bool IsForeignWindow(HWND window) {
  uintptr_t value = (uintptr_t)window;
  return value && !(value & HandleBase) && value <= 0xFFFFFFFFu;
}
