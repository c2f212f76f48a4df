#include "support/fake_dmusic.h"

#include <cstdio>

FakeDirectMusic fakeDirectMusic;

namespace {

std::string Str(long long v) { return std::to_string(v); }

std::string GuidText(const GUID& guid) {
  static const struct {
    const GUID* guid;
    const char* name;
  } known[] = {
      {&GUID_DirectMusicAllTypes, "GUID_DirectMusicAllTypes"},
      {&GUID_NOTIFICATION_PERFORMANCE, "GUID_NOTIFICATION_PERFORMANCE"},
      {&GUID_ConnectToDLSCollection, "GUID_ConnectToDLSCollection"},
      {&GUID_StandardMIDIFile, "GUID_StandardMIDIFile"},
      {&GUID_Download, "GUID_Download"},
      {&GUID_Unload, "GUID_Unload"},
      {&CLSID_DirectMusicSegment, "Segment"},
      {&CLSID_DirectMusicCollection, "Collection"},
      {&IID_IDirectMusicSegment, "IID_IDirectMusicSegment"},
      {&IID_IDirectMusicCollection, "IID_IDirectMusicCollection"},
  };
  for (auto& k : known)
    if (*k.guid == guid) return k.name;
  char text[64];
  std::snprintf(text, sizeof(text), "{%08X-%04X-%04X}", (unsigned)guid.Data1, guid.Data2, guid.Data3);
  return text;
}

std::string Narrow(const WCHAR* text) {
  std::string s;
  for (; text && *text; ++text) s += char(*text);
  return s;
}

HRESULT Outcome(const std::string& key) {
  auto it = fakeDirectMusic.failures.find(key);
  return it == fakeDirectMusic.failures.end() ? S_OK : it->second;
}

template <class Interface>
struct Fake : Interface, FakeMusicObject {
  explicit Fake(const std::string& objectName) { name = objectName; }
  HRESULT QueryInterface(REFIID, void** object) override {
    RecordCall(name + ".QueryInterface");
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override {
    RecordCall(name + ".AddRef");
    return ++refs;
  }
  ULONG Release() override {
    RecordCall(name + ".Release");
    if (refs) --refs;
    return refs;
  }
};

template <class T>
T* Make(const std::string& name) {
  T* made = new T(name);
  fakeDirectMusic.objects.emplace_back(made);
  return made;
}

int CountMade(const std::string& prefix) {
  int n = 0;
  for (auto& o : fakeDirectMusic.objects)
    if (o->name.compare(0, prefix.size(), prefix) == 0) ++n;
  return n;
}

struct FakeMessage : FakeMusicObject {
  explicit FakeMessage(const std::string& messageName) { name = messageName; }
  DMUS_NOTIFICATION_PMSG message = {};
};

std::string MessageName(const void* message) {
  for (auto& o : fakeDirectMusic.objects)
    if (auto* m = dynamic_cast<FakeMessage*>(o.get()))
      if (&m->message == message) return m->name;
  return "unknown";
}

struct FakeCollection : Fake<IDirectMusicCollection> {
  using Fake::Fake;
};

struct FakeSegment : Fake<IDirectMusicSegment> {
  using Fake::Fake;
  HRESULT SetParam(REFGUID type, DWORD groupBits, DWORD index, MUSIC_TIME time, void* param) override {
    RecordCall(name + ".SetParam(" + GuidText(type) + "," + Str(groupBits) + "," + Str(index) + "," + Str(time) + "," +
               FakeMusicName(param) + ")");
    return Outcome("Segment.SetParam(" + GuidText(type) + ")");
  }
};

struct FakeLoader : Fake<IDirectMusicLoader> {
  using Fake::Fake;
  HRESULT GetObject(LPDMUS_OBJECTDESC description, REFIID iid, LPVOID* object) override {
    fakeDirectMusic.descriptions.push_back(*description);
    std::string kind = GuidText(description->guidClass);
    RecordCall(name + ".GetObject(" + kind + "," + GuidText(iid) + ")");
    *object = nullptr;
    HRESULT result = Outcome("Loader.GetObject(" + kind + ")");
    if (FAILED(result)) return result;
    if (kind == "Segment")
      *object = static_cast<IDirectMusicSegment*>(Make<FakeSegment>("segment#" + Str(CountMade("segment#") + 1)));
    else if (kind == "Collection")
      *object =
          static_cast<IDirectMusicCollection*>(Make<FakeCollection>("collection#" + Str(CountMade("collection#") + 1)));
    else
      return E_NOTIMPL;
    return result;
  }
  HRESULT SetSearchDirectory(REFGUID objectClass, WCHAR* path, BOOL clearCache) override {
    RecordCall(name + ".SetSearchDirectory(" + GuidText(objectClass) + "," + Narrow(path) + "," + Str(clearCache) +
               ")");
    return Outcome("Loader.SetSearchDirectory");
  }
};

struct FakePerformance : Fake<IDirectMusicPerformance> {
  using Fake::Fake;
  HRESULT Init(IDirectMusic** directMusic, LPDIRECTSOUND directSound, HWND window) override {
    char text[32];
    std::snprintf(text, sizeof(text), "%p", (void*)window);
    RecordCall(name + ".Init(" + FakeMusicName(directMusic) + "," + FakeMusicName(directSound) + "," +
               (window ? text : "null") + ")");
    return Outcome("Performance.Init");
  }
  HRESULT PlaySegment(IDirectMusicSegment* segment, DWORD flags, LONGLONG startTime,
                      IDirectMusicSegmentState** state) override {
    RecordCall(name + ".PlaySegment(" + FakeMusicName(segment) + "," + Str(flags) + "," + Str(startTime) + "," +
               FakeMusicName(state) + ")");
    return Outcome("Performance.PlaySegment");
  }
  HRESULT Stop(IDirectMusicSegment* segment, IDirectMusicSegmentState* state, MUSIC_TIME time, DWORD flags) override {
    RecordCall(name + ".Stop(" + FakeMusicName(segment) + "," + FakeMusicName(state) + "," + Str(time) + "," +
               Str(flags) + ")");
    return Outcome("Performance.Stop");
  }
  HRESULT FreePMsg(DMUS_PMSG* message) override {
    RecordCall(name + ".FreePMsg(" + MessageName(message) + ")");
    --fakeDirectMusic.messagesOut;
    return Outcome("Performance.FreePMsg");
  }
  HRESULT GetNotificationPMsg(DMUS_NOTIFICATION_PMSG** message) override {
    RecordCall(name + ".GetNotificationPMsg");
    *message = nullptr;
    HRESULT result = Outcome("Performance.GetNotificationPMsg");
    if (FAILED(result)) return result;
    if (fakeDirectMusic.notifications.empty()) return S_FALSE;
    auto* made = Make<FakeMessage>("message#" + Str(CountMade("message#") + 1));
    made->message.dwSize = sizeof(DMUS_NOTIFICATION_PMSG);
    made->message.guidNotificationType = fakeDirectMusic.notifications.front().type;
    made->message.dwNotificationOption = fakeDirectMusic.notifications.front().option;
    fakeDirectMusic.notifications.pop_front();
    ++fakeDirectMusic.messagesOut;
    *message = &made->message;
    return S_OK;
  }
  HRESULT AddNotificationType(REFGUID type) override {
    RecordCall(name + ".AddNotificationType(" + GuidText(type) + ")");
    return Outcome("Performance.AddNotificationType");
  }
  HRESULT AddPort(IDirectMusicPort* port) override {
    RecordCall(name + ".AddPort(" + FakeMusicName(port) + ")");
    return Outcome("Performance.AddPort");
  }
  HRESULT CloseDown() override {
    RecordCall(name + ".CloseDown");
    return Outcome("Performance.CloseDown");
  }
};

}  // namespace

void ResetFakeDirectMusic() { fakeDirectMusic = FakeDirectMusic(); }

HRESULT CreateFakeDirectMusicPerformance(REFIID iid, void** object) {
  if (iid != IID_IDirectMusicPerformance) return E_NOINTERFACE;
  *object = static_cast<IDirectMusicPerformance*>(Make<FakePerformance>("performance"));
  return S_OK;
}

HRESULT CreateFakeDirectMusicLoader(REFIID iid, void** object) {
  if (iid != IID_IDirectMusicLoader) return E_NOINTERFACE;
  *object = static_cast<IDirectMusicLoader*>(Make<FakeLoader>("loader"));
  return S_OK;
}

std::string FakeMusicName(const void* object) {
  if (!object) return "null";
  for (auto& o : fakeDirectMusic.objects) {
    // The program hands objects over by interface pointer, or as void*.
    const void* faces[] = {dynamic_cast<IUnknown*>(o.get()), o.get()};
    for (const void* face : faces)
      if (face == object) return o->name;
  }
  return "unknown";
}

std::vector<std::string> LiveFakeMusicObjects() {
  std::vector<std::string> live;
  for (auto& o : fakeDirectMusic.objects)
    if (o->refs && !dynamic_cast<FakeMessage*>(o.get())) live.push_back(o->name);
  return live;
}

std::vector<std::string> DirectMusicCalls() {
  std::vector<std::string> calls;
  for (auto& c : RecordedCalls())
    for (const char* prefix : {"CoCreateInstance(DirectMusic", "performance.", "loader.", "segment#", "collection#"})
      if (c.compare(0, std::string(prefix).size(), prefix) == 0) calls.push_back(c);
  return calls;
}
