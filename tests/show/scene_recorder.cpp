#include "show/scene_recorder.h"

#include <cstdlib>

#include "shell/shell.h"

// The show links against the shell's record; the shell itself is not under test.
ShellState shell;
RenderDevice renderDevice;
std::vector<DrawCall> drawCalls;

static void Note(const char* name, std::vector<float> values, std::vector<D3DCOLOR> colours, std::string text = "") {
  drawCalls.push_back(DrawCall{name, std::move(values), std::move(colours), std::move(text)});
}

namespace {
struct SceneDevice : IDirect3DDevice3 {
  HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG AddRef() override { return 2; }
  ULONG Release() override { return 1; }
  HRESULT AddViewport(IDirect3DViewport3*) override { return S_OK; }
  HRESULT EnumTextureFormats(LPD3DENUMPIXELFORMATSCALLBACK, void*) override { return S_OK; }
  HRESULT BeginScene() override {
    Note("BeginScene", {}, {});
    return S_OK;
  }
  HRESULT EndScene() override {
    Note("EndScene", {}, {});
    return S_OK;
  }
  HRESULT SetCurrentViewport(IDirect3DViewport3*) override { return S_OK; }
  HRESULT SetRenderState(D3DRENDERSTATETYPE, DWORD) override { return S_OK; }
  HRESULT SetTransform(D3DTRANSFORMSTATETYPE, D3DMATRIX*) override { return S_OK; }
  HRESULT DrawPrimitive(D3DPRIMITIVETYPE, DWORD, void*, DWORD, DWORD) override { return S_OK; }
  HRESULT SetTexture(DWORD, IDirect3DTexture2*) override { return S_OK; }
  HRESULT SetTextureStageState(DWORD, D3DTEXTURESTAGESTATETYPE, DWORD) override { return S_OK; }
};
struct SceneSurface : IDirectDrawSurface4 {
  HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG AddRef() override { return 2; }
  ULONG Release() override { return 1; }
  HRESULT Flip(LPDIRECTDRAWSURFACE4 target, DWORD flags) override {
    Note("Flip", {}, {}, target ? "override" : "");
    drawCalls.back().colours.push_back(flags);
    return S_OK;
  }
  HRESULT GetAttachedSurface(LPDDSCAPS2, LPDIRECTDRAWSURFACE4*) override { return E_FAIL; }
  HRESULT Lock(LPRECT, LPDDSURFACEDESC2, DWORD, HANDLE) override { return E_FAIL; }
  HRESULT Unlock(LPRECT) override { return E_FAIL; }
};
struct SceneViewport : IDirect3DViewport3 {
  HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG AddRef() override { return 2; }
  ULONG Release() override { return 1; }
  HRESULT SetViewport2(D3DVIEWPORT2*) override { return S_OK; }
};
SceneDevice sceneDevice;
SceneSurface sceneSurface;
SceneViewport sceneViewport;
}  // namespace

void InstallSceneDevice() {
  renderDevice = RenderDevice{};
  renderDevice.displayWidth = 640;
  renderDevice.displayHeight = 480;
  renderDevice.device = &sceneDevice;
  renderDevice.primarySurface = &sceneSurface;
  renderDevice.viewport = &sceneViewport;
}

std::vector<DrawCall> CallsNamed(const std::string& name) {
  std::vector<DrawCall> found;
  for (auto& c : drawCalls)
    if (c.name == name) found.push_back(c);
  return found;
}

std::vector<std::string> CallNames() {
  std::vector<std::string> names;
  for (auto& c : drawCalls) names.push_back(c.name);
  return names;
}

std::string TextDrawn() {
  std::string all;
  for (auto& c : drawCalls)
    if (c.name == "DrawGlyph" || c.name == "DrawString" || c.name == "DrawRotatedString") all += c.text;
  return all;
}

void DrawGlow(float x, float y, float z, D3DCOLOR colour, float angle) { Note("DrawGlow", {x, y, z, angle}, {colour}); }
void DrawBulb(float x, float y, float z, D3DCOLOR colour, float angle) { Note("DrawBulb", {x, y, z, angle}, {colour}); }
void DrawRockBlob(float x, float y, float z, D3DCOLOR colour, float angle) {
  Note("DrawRockBlob", {x, y, z, angle}, {colour});
}
void DrawSign(float x, float y, float z, D3DCOLOR colour, float angle) { Note("DrawSign", {x, y, z, angle}, {colour}); }
void DrawBackdrop(D3DCOLOR colour, float p0, float p1, float p2, float p3) {
  Note("DrawBackdrop", {p0, p1, p2, p3}, {colour});
}
void FillScreen(D3DCOLOR topLeft, D3DCOLOR topRight, D3DCOLOR bottomRight, D3DCOLOR bottomLeft) {
  Note("FillScreen", {}, {topLeft, topRight, bottomRight, bottomLeft});
}
// The real formula, so a test can seed the generator and predict every value.
int RandomUpTo(float limit) { return (int)((std::rand() & 0x7FFF) / 32767.0 * limit); }
void DrawGlyph(int code, float x, float y, float z, D3DCOLOR colour) {
  Note("DrawGlyph", {x, y, z}, {colour}, std::string(1, (char)code));
}
void DrawString(const char* text, float x, float y, float z, D3DCOLOR colour) {
  Note("DrawString", {x, y, z}, {colour}, text);
}
void DrawRotatedString(const char* text, float x, float y, float z, float ax, float ay, float az, D3DCOLOR colour) {
  Note("DrawRotatedString", {x, y, z, ax, ay, az}, {colour}, text);
}
