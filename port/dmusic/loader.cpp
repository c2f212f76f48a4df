// The loader makes segments and collections from bytes in memory; it reads no
// files, so its search directory is only remembered.
#include <algorithm>
#include <string>

#include "dmusic_internal.h"

namespace {

const LONGLONG LargestObject = 64 << 20;

uint32_t BigEndian32(const uint8_t* p) { return uint32_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3]; }
uint32_t LittleEndian32(const uint8_t* p) { return uint32_t(p[3]) << 24 | p[2] << 16 | p[1] << 8 | p[0]; }
bool HasTag(const uint8_t* p, const char* tag) { return std::equal(tag, tag + 4, p); }

// A header the player can use (format 0 or 1, ticks per quarter note) and at
// least as many whole track chunks as it announces.
bool IsStandardMidiFile(const MusicBytes& bytes) {
  size_t size = bytes.size();
  const uint8_t* p = bytes.data();
  if (size < 14 || !HasTag(p, "MThd")) return false;
  uint32_t headerLength = BigEndian32(p + 4);
  int format = p[8] << 8 | p[9];
  int tracks = p[10] << 8 | p[11];
  int division = p[12] << 8 | p[13];
  if (headerLength < 6 || format > 1 || tracks < 1 || division == 0 || (division & 0x8000)) return false;
  size_t at = 8 + size_t(headerLength);
  int found = 0;
  while (at + 8 <= size) {
    size_t length = BigEndian32(p + at + 4);
    if (length > size - at - 8) return false;
    if (HasTag(p + at, "MTrk")) ++found;
    at += 8 + length;
  }
  return found >= tracks;
}

bool IsDlsCollection(const MusicBytes& bytes) {
  const uint8_t* p = bytes.data();
  return bytes.size() >= 12 && HasTag(p, "RIFF") && HasTag(p + 8, "DLS ") && LittleEndian32(p + 4) <= bytes.size() - 8;
}

class PortLoader : public PortComObject<IDirectMusicLoader> {
 public:
  PortLoader() : PortComObject(IID_IDirectMusicLoader) {}

  HRESULT GetObject(LPDMUS_OBJECTDESC description, REFIID iid, LPVOID* object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!description) return E_POINTER;
    if (description->dwSize != sizeof(DMUS_OBJECTDESC)) return E_INVALIDARG;
    if (!(description->dwValidData & DMUS_OBJ_CLASS)) return DMUS_E_LOADER_NOCLASSID;
    if (!(description->dwValidData & DMUS_OBJ_MEMORY)) return DMUS_E_LOADER_FAILEDOPEN;
    if (!description->pbMemData || description->llMemLength <= 0 || description->llMemLength > LargestObject)
      return E_INVALIDARG;
    MusicBytes bytes(description->pbMemData, description->pbMemData + description->llMemLength);

    IUnknown* made = nullptr;
    if (description->guidClass == CLSID_DirectMusicSegment) {
      if (!IsStandardMidiFile(bytes)) return DMUS_E_UNSUPPORTED_STREAM;
      made = new PortSegment(std::move(bytes));
    } else if (description->guidClass == CLSID_DirectMusicCollection) {
      if (!IsDlsCollection(bytes)) return DMUS_E_NOTADLSCOL;
      made = new PortCollection(std::move(bytes));
    } else {
      return E_NOTIMPL;
    }
    HRESULT result = made->QueryInterface(iid, object);
    made->Release();
    return result;
  }

  HRESULT SetSearchDirectory(REFGUID, WCHAR* path, BOOL) override {
    if (!path) return E_POINTER;
    searchDirectory = path;
    return S_OK;
  }

 private:
  std::u16string searchDirectory;
};

}  // namespace

HRESULT CreatePortLoader(REFIID iid, void** object) {
  auto* loader = new PortLoader();
  HRESULT result = loader->QueryInterface(iid, object);
  loader->Release();
  return result;
}
