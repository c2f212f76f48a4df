// The classes CoCreateInstance can make. Each service adds its line here.
#include "directx/directx_internal.h"
#include "dmusic/dmusic_internal.h"
#include "port_internal.h"

static HRESULT NoClass(REFIID, void**) { return REGDB_E_CLASSNOTREG; }

const PortComClass portComClasses[] = {
    {&IID_IUnknown, NoClass},  // keeps the table non-empty; IUnknown is no class
    {&CLSID_DirectMusicPerformance, CreatePortPerformance},
    {&CLSID_DirectMusicLoader, CreatePortLoader},
    {&CLSID_DirectDraw, CreateDirectDrawObject},
};
const int portComClassCount = sizeof(portComClasses) / sizeof(portComClasses[0]);
