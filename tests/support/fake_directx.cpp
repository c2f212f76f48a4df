#include "support/fake_directx.h"

#include <cstdio>
#include <cstring>

FakeDirectX fakeDirectX;

namespace {

std::string Str(long long v) { return std::to_string(v); }

std::string Hex(DWORD v) {
  char text[16];
  std::snprintf(text, sizeof(text), "0x%X", (unsigned)v);
  return text;
}

std::string Num(float v) {
  char text[32];
  std::snprintf(text, sizeof(text), "%g", (double)v);
  return text;
}

std::string GuidText(const GUID* guid) {
  if (!guid) return "null";
  if (*guid == IID_IDirect3DHALDevice) return "HAL";
  if (*guid == IID_IDirect3DRGBDevice) return "RGB";
  static const GUID zero = {};
  if (*guid == zero) return "zero";
  char text[64];
  std::snprintf(text, sizeof(text), "{%08X-%04X-%04X-%02X%02X}", (unsigned)guid->Data1, guid->Data2, guid->Data3,
                guid->Data4[0], guid->Data4[1]);
  return text;
}

// A failure the test asked for, or success.
HRESULT Outcome(const std::string& key) {
  auto it = fakeDirectX.failures.find(key);
  return it == fakeDirectX.failures.end() ? S_OK : it->second;
}

template <class Interface>
struct Fake : Interface, FakeComObject {
  explicit Fake(const std::string& objectName) {
    name = objectName;
    face = static_cast<Interface*>(this);
  }
  HRESULT QueryInterface(REFIID, void** object) override {
    RecordCall(name + ".QueryInterface");
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return ++refs; }
  ULONG Release() override {
    RecordCall(name + ".Release");
    if (refs) --refs;
    return refs;
  }
};

template <class T>
T* Make(const std::string& name) {
  T* made = new T(name);
  fakeDirectX.objects.emplace_back(made);
  return made;
}

DWORD VertexSize(DWORD format) {
  DWORD size = 0;
  if (format & D3DFVF_XYZ) size += 12;
  if (format & D3DFVF_XYZRHW) size += 16;
  if (format & D3DFVF_NORMAL) size += 12;
  if (format & D3DFVF_DIFFUSE) size += 4;
  if (format & D3DFVF_SPECULAR) size += 4;
  if (format & D3DFVF_TEX1) size += 8;
  return size;
}

D3DMATRIX Identity() {
  D3DMATRIX m = {};
  m._11 = m._22 = m._33 = m._44 = 1.0f;
  return m;
}

struct FakeTexture : Fake<IDirect3DTexture2> {
  using Fake::Fake;
};

struct FakeSurface : Fake<IDirectDrawSurface4> {
  using Fake::Fake;
  FakeTextureSurface* texels = nullptr;  // textures only
  FakeTexture* texture = nullptr;

  HRESULT QueryInterface(REFIID iid, void** object) override {
    *object = nullptr;
    if (iid != IID_IDirect3DTexture2) return Fake::QueryInterface(iid, object);
    RecordCall(name + ".QueryInterface(IDirect3DTexture2)");
    HRESULT result = Outcome("Surface.QueryInterface");
    if (FAILED(result)) return result;
    if (!texture)
      texture = Make<FakeTexture>("texture#" + name.substr(name.find('#') + 1));
    else
      ++texture->refs;
    *object = static_cast<IDirect3DTexture2*>(texture);
    return result;
  }
  HRESULT Flip(LPDIRECTDRAWSURFACE4, DWORD flags) override {
    RecordCall(name + ".Flip(" + Hex(flags) + ")");
    return Outcome("Surface.Flip");
  }
  HRESULT GetAttachedSurface(LPDDSCAPS2 caps, LPDIRECTDRAWSURFACE4* attached) override {
    RecordCall(name + ".GetAttachedSurface(" + Hex(caps->dwCaps) + "," + Hex(caps->dwCaps2) + "," + Hex(caps->dwCaps3) +
               "," + Hex(caps->dwCaps4) + ")");
    HRESULT result = Outcome("Surface.GetAttachedSurface");
    if (FAILED(result)) return result;
    *attached = Make<FakeSurface>("backBuffer");
    return result;
  }
  HRESULT Lock(LPRECT rect, LPDDSURFACEDESC2 desc, DWORD flags, HANDLE event) override {
    RecordCall(name + ".Lock(" + (rect ? "rect" : "null") + "," + SizeField(desc->dwSize, sizeof *desc) + "," +
               Hex(flags) + "," + (event ? "event" : "null") + ")");
    HRESULT result = Outcome("Surface.Lock");
    if (FAILED(result) || !texels) return FAILED(result) ? result : E_FAIL;
    desc->lpSurface = texels->memory.data();
    desc->lPitch = texels->pitch;
    desc->dwWidth = texels->desc.dwWidth;
    desc->dwHeight = texels->desc.dwHeight;
    return result;
  }
  HRESULT Unlock(LPRECT rect) override {
    RecordCall(name + ".Unlock(" + (rect ? "rect" : "null") + ")");
    return S_OK;
  }
};

struct FakeViewport : Fake<IDirect3DViewport3> {
  using Fake::Fake;
  HRESULT SetViewport2(D3DVIEWPORT2* v) override {
    RecordCall(name + ".SetViewport2(" + SizeField(v->dwSize, sizeof *v) + "," + Str(v->dwX) + "," + Str(v->dwY) + "," +
               Str(v->dwWidth) + "," + Str(v->dwHeight) + "," + Num(v->dvClipX) + "," + Num(v->dvClipY) + "," +
               Num(v->dvClipWidth) + "," + Num(v->dvClipHeight) + "," + Num(v->dvMinZ) + "," + Num(v->dvMaxZ) + ")");
    return Outcome("Viewport.SetViewport2");
  }
};

struct FakeDevice : Fake<IDirect3DDevice3> {
  using Fake::Fake;
  HRESULT AddViewport(IDirect3DViewport3* viewport) override {
    RecordCall(name + ".AddViewport(" + FakeName(viewport) + ")");
    return Outcome("Device.AddViewport");
  }
  HRESULT EnumTextureFormats(LPD3DENUMPIXELFORMATSCALLBACK callback, void* context) override {
    RecordCall(name + ".EnumTextureFormats");
    HRESULT result = Outcome("Device.EnumTextureFormats");
    if (FAILED(result)) return result;
    for (const DDPIXELFORMAT& offered : fakeDirectX.textureFormats) {
      DDPIXELFORMAT copy = offered;
      if (callback(&copy, context) == D3DENUMRET_CANCEL) break;
    }
    return result;
  }
  HRESULT BeginScene() override {
    RecordCall(name + ".BeginScene");
    return S_OK;
  }
  HRESULT EndScene() override {
    RecordCall(name + ".EndScene");
    return S_OK;
  }
  HRESULT SetCurrentViewport(IDirect3DViewport3* viewport) override {
    RecordCall(name + ".SetCurrentViewport(" + FakeName(viewport) + ")");
    return Outcome("Device.SetCurrentViewport");
  }
  HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override {
    RecordCall(name + ".SetRenderState(" + Str(state) + "," + Str(value) + ")");
    fakeDirectX.renderStates[state] = value;
    return S_OK;
  }
  HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override {
    RecordCall(name + ".SetTransform(" + Str(state) + ")");
    fakeDirectX.transforms[state] = *matrix;
    return S_OK;
  }
  HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, DWORD format, void* vertices, DWORD count, DWORD flags) override {
    RecordCall(name + ".DrawPrimitive(" + Str(type) + "," + Hex(format) + "," + Str(count) + "," + Hex(flags) + ")");
    FakeDraw draw;
    draw.type = type;
    draw.vertexFormat = format;
    draw.vertexCount = count;
    draw.flags = flags;
    const BYTE* bytes = (const BYTE*)vertices;
    draw.vertices.assign(bytes, bytes + VertexSize(format) * count);
    auto world = fakeDirectX.transforms.find(D3DTRANSFORMSTATE_WORLD);
    draw.world = world == fakeDirectX.transforms.end() ? Identity() : world->second;
    draw.texture = fakeDirectX.boundTexture;
    draw.renderStates = fakeDirectX.renderStates;
    fakeDirectX.draws.push_back(draw);
    return S_OK;
  }
  HRESULT SetTexture(DWORD stage, IDirect3DTexture2* texture) override {
    RecordCall(name + ".SetTexture(" + Str(stage) + "," + FakeName(texture) + ")");
    if (stage == 0) fakeDirectX.boundTexture = texture;
    return S_OK;
  }
  HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD value) override {
    RecordCall(name + ".SetTextureStageState(" + Str(stage) + "," + Str(state) + "," + Str(value) + ")");
    fakeDirectX.stageStates[stage][state] = value;
    return S_OK;
  }
};

struct FakeDirect3D : Fake<IDirect3D3> {
  using Fake::Fake;
  HRESULT EnumDevices(LPD3DENUMDEVICESCALLBACK callback, void* context) override {
    RecordCall(name + ".EnumDevices");
    for (auto& d : fakeDirectX.deviceTypes) {
      GUID guid = d.guid;
      std::string text = d.name;
      if (!callback(&guid, &text[0], &text[0], d.hardware.get(), d.software.get(), context)) break;
    }
    return S_OK;
  }
  HRESULT CreateViewport(IDirect3DViewport3** viewport, IUnknown* outer) override {
    RecordCall(name + ".CreateViewport(" + (outer ? "outer" : "null") + ")");
    HRESULT result = Outcome("Direct3D.CreateViewport");
    if (FAILED(result)) return result;
    *viewport = Make<FakeViewport>("viewport");
    return result;
  }
  HRESULT CreateDevice(REFCLSID type, IDirectDrawSurface4* target, IDirect3DDevice3** device,
                       IUnknown* outer) override {
    RecordCall(name + ".CreateDevice(" + GuidText(&type) + "," + FakeName(target) + "," + (outer ? "outer" : "null") +
               ")");
    HRESULT result = Outcome("Direct3D.CreateDevice");
    if (FAILED(result)) return result;
    *device = Make<FakeDevice>("device");
    return result;
  }
};

struct FakeDirectDraw : Fake<IDirectDraw4> {
  using Fake::Fake;
  HRESULT QueryInterface(REFIID iid, void** object) override {
    *object = nullptr;
    if (iid != IID_IDirect3D3) return Fake::QueryInterface(iid, object);
    RecordCall(name + ".QueryInterface(IDirect3D3)");
    HRESULT result = Outcome("DirectDraw.QueryInterface");
    if (FAILED(result)) return result;
    *object = static_cast<IDirect3D3*>(Make<FakeDirect3D>("direct3D"));
    return result;
  }
  HRESULT CreateSurface(LPDDSURFACEDESC2 desc, LPDIRECTDRAWSURFACE4* surface, IUnknown* outer) override {
    const std::string common = SizeField(desc->dwSize, sizeof *desc) + "," + Hex(desc->dwFlags) + "," +
                               Hex(desc->ddsCaps.dwCaps) + "," + Hex(desc->ddsCaps.dwCaps2) + "," +
                               (outer ? "outer" : "null");
    if (!(desc->ddsCaps.dwCaps & DDSCAPS_TEXTURE)) {
      RecordCall(name + ".CreateSurface(" + common + ",backbuffers=" + Str(desc->dwBackBufferCount) + ")");
      HRESULT result = Outcome("DirectDraw.CreateSurface");
      if (FAILED(result)) return result;
      *surface = Make<FakeSurface>("primarySurface");
      return result;
    }
    RecordCall(name + ".CreateSurface(" + common + "," + Str(desc->dwWidth) + "x" + Str(desc->dwHeight) +
               ",stage=" + Str(desc->dwTextureStage) + ")");
    HRESULT result = Outcome("DirectDraw.CreateTextureSurface");
    if (result != DD_OK) return result;
    auto* texels = new FakeTextureSurface;
    texels->name = "surface#" + Str(fakeDirectX.textureSurfaces.size());
    texels->desc = *desc;
    texels->pitch = (LONG)desc->dwWidth * 2 + fakeDirectX.pitchPadding;
    // Filled with a pattern so texels the program never writes stand out.
    texels->memory.assign((size_t)texels->pitch * desc->dwHeight, 0xCD);
    fakeDirectX.textureSurfaces.push_back(texels);
    FakeSurface* made = Make<FakeSurface>(texels->name);
    made->texels = texels;
    *surface = made;
    return result;
  }
  std::string board = "null";
  HRESULT EnumDisplayModes(DWORD flags, LPDDSURFACEDESC2 desc, LPVOID context,
                           LPDDENUMMODESCALLBACK2 callback) override {
    RecordCall(name + ".EnumDisplayModes(" + Str(flags) + "," + SizeField(desc->dwSize, sizeof *desc) + "," +
               Hex(desc->dwFlags) + "," + Hex(desc->ddsCaps.dwCaps) + ")");
    for (auto& m : fakeDirectX.displayModes) {
      if (!m.board.empty() && m.board != board) continue;
      DDSURFACEDESC2 mode = m.desc;
      if (!callback(&mode, context)) break;
    }
    return S_OK;
  }
  HRESULT Initialize(GUID* driver) override {
    board = GuidText(driver);
    RecordCall(name + ".Initialize(" + board + ")");
    return Outcome("DirectDraw.Initialize");
  }
  HRESULT RestoreDisplayMode() override {
    RecordCall(name + ".RestoreDisplayMode");
    return S_OK;
  }
  HRESULT SetCooperativeLevel(HWND, DWORD flags) override {
    RecordCall(name + ".SetCooperativeLevel(" + Hex(flags) + ")");
    return Outcome("DirectDraw.SetCooperativeLevel");
  }
  HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bpp, DWORD refresh, DWORD flags) override {
    RecordCall(name + ".SetDisplayMode(" + Str(width) + "," + Str(height) + "," + Str(bpp) + "," + Str(refresh) + "," +
               Str(flags) + ")");
    return Outcome("DirectDraw.SetDisplayMode");
  }
};

}  // namespace

WORD FakeTextureSurface::Texel(DWORD x, DWORD y) const {
  WORD texel;
  std::memcpy(&texel, &memory[(size_t)pitch * y + x * 2], 2);
  return texel;
}

HRESULT CreateFakeDirectDraw(REFIID iid, void** object) {
  *object = nullptr;
  if (iid != IID_IDirectDraw4) return E_NOINTERFACE;
  *object = static_cast<IDirectDraw4*>(Make<FakeDirectDraw>("directDraw"));
  return S_OK;
}

DDPIXELFORMAT FakeFormat(DWORD flags, DWORD red, DWORD green, DWORD blue, DWORD alpha) {
  DDPIXELFORMAT f = {};
  f.dwSize = 32;
  f.dwFlags = flags;
  f.dwRGBBitCount = 16;
  f.dwRBitMask = red;
  f.dwGBitMask = green;
  f.dwBBitMask = blue;
  f.dwRGBAlphaBitMask = alpha;
  return f;
}
DDPIXELFORMAT FakeFormatX1R5G5B5() { return FakeFormat(DDPF_RGB, 0x7C00, 0x03E0, 0x001F, 0); }
DDPIXELFORMAT FakeFormatA1R5G5B5() { return FakeFormat(DDPF_RGB | DDPF_ALPHAPIXELS, 0x7C00, 0x03E0, 0x001F, 0x8000); }
DDPIXELFORMAT FakeFormatA4R4G4B4() { return FakeFormat(DDPF_RGB | DDPF_ALPHAPIXELS, 0x0F00, 0x00F0, 0x000F, 0xF000); }
DDPIXELFORMAT FakeFormatR5G6B5() { return FakeFormat(DDPF_RGB, 0xF800, 0x07E0, 0x001F, 0); }

void ResetFakeDirectX() {
  for (FakeTextureSurface* s : fakeDirectX.textureSurfaces) delete s;
  fakeDirectX = FakeDirectX();
  fakeDirectX.textureFormats = {FakeFormatX1R5G5B5(), FakeFormatA1R5G5B5(), FakeFormatA4R4G4B4(), FakeFormatR5G6B5()};
}

DDSURFACEDESC2 FakeDisplayMode(DWORD width, DWORD height, DWORD bits) {
  DDSURFACEDESC2 desc;
  std::memset(&desc, 0, sizeof desc);
  desc.dwSize = sizeof desc;
  desc.dwFlags = DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
  desc.dwWidth = width;
  desc.dwHeight = height;
  desc.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
  desc.ddpfPixelFormat.dwFlags = DDPF_RGB;
  desc.ddpfPixelFormat.dwRGBBitCount = bits;
  return desc;
}

void AddFakeDeviceType(const GUID& guid, const std::string& name, DWORD renderDepths, bool hardware) {
  FakeDirectX::DeviceType type;
  type.guid = guid;
  type.name = name;
  type.hardware.reset(new D3DDEVICEDESC());
  type.software.reset(new D3DDEVICEDESC());
  D3DDEVICEDESC& drawn = hardware ? *type.hardware : *type.software;
  drawn.dwFlags = D3DDD_COLORMODEL | D3DDD_DEVICERENDERBITDEPTH;
  drawn.dwDeviceRenderBitDepth = renderDepths;
  fakeDirectX.deviceTypes.push_back(std::move(type));
}

std::string FakeName(const void* object) {
  if (!object) return "null";
  for (auto& o : fakeDirectX.objects)
    if (o->face == object) return o->name;
  return "unknown";
}

std::vector<std::string> LiveFakeObjects() {
  std::vector<std::string> live;
  for (auto& o : fakeDirectX.objects)
    if (o->refs) live.push_back(o->name);
  return live;
}

IDirect3DTexture2* FakeTextureOf(int surfaceIndex) {
  const std::string name = "texture#" + Str(surfaceIndex);
  for (auto& o : fakeDirectX.objects)
    if (o->name == name) return static_cast<IDirect3DTexture2*>(o->face);
  return nullptr;
}
