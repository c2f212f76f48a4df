#include "support/fake_com.h"

#include "support/fake_directx.h"
#include "support/fake_dmusic.h"
#include "support/recorder.h"

std::map<std::string, HRESULT> fakeComFailures;

namespace {

struct FakeComClass {
  const CLSID* clsid;
  const char* name;
  HRESULT (*create)(REFIID iid, void** object);
};

const FakeComClass fakeComClasses[] = {
    {&CLSID_DirectDraw, "DirectDraw", CreateFakeDirectDraw},
    {&CLSID_DirectMusicPerformance, "DirectMusicPerformance", CreateFakeDirectMusicPerformance},
    {&CLSID_DirectMusicLoader, "DirectMusicLoader", CreateFakeDirectMusicLoader},
};

}  // namespace

HRESULT CoCreateInstance(REFCLSID clsid, LPUNKNOWN outer, DWORD context, REFIID iid, LPVOID* object) {
  *object = nullptr;
  for (const FakeComClass& c : fakeComClasses) {
    if (*c.clsid != clsid) continue;
    RecordCall(std::string("CoCreateInstance(") + c.name + "," + std::to_string(context) + (outer ? ",outer" : "") +
               ")");
    auto failure = fakeComFailures.find(c.name);
    if (failure != fakeComFailures.end()) return failure->second;
    return c.create(iid, object);
  }
  RecordCall("CoCreateInstance(unknown)");
  return REGDB_E_CLASSNOTREG;
}
