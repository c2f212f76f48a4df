#include "gfx/gfx_fixture.h"

ShellState shell;

const PictureSize standInPictures[8] = {
    {GlyphSheetBitmap, 32, 32}, {GlowBitmap, 8, 8},          {BulbBitmap, 4, 6},        {BulbAlphaBitmap, 4, 6},
    {RockBitmap, 6, 4},         {RockBlobAlphaBitmap, 6, 4}, {WarningSignBitmap, 2, 3}, {WarningSignAlphaBitmap, 2, 3},
};

void PutBitmapResource(int id, const ByteString& bytes) { fakeSystem.resources[{2, id}] = bytes; }

std::vector<std::string> DeviceCalls() {
  static const char* prefixes[] = {
      "CoCreateInstance", "directDraw.", "primarySurface.", "backBuffer.", "direct3D.",
      "device.",          "viewport.",   "surface#",        "texture#",    "SystemParametersInfoA"};
  std::vector<std::string> found;
  for (const std::string& call : RecordedCalls())
    for (const char* p : prefixes)
      if (call.rfind(p, 0) == 0) {
        found.push_back(call);
        break;
      }
  return found;
}

void GfxTest::SetUp() {
  ResetFakeSystem();
  ResetFakeDirectX();
  fakeComFailures.clear();
  renderDevice = RenderDevice();
  currentDrawMode = (DrawMode)0;
  shell = ShellState();
  WNDCLASSEXA saverClass = {};
  saverClass.cbSize = sizeof(saverClass);
  saverClass.lpfnWndProc = DefWindowProcA;
  saverClass.lpszClassName = "glmzsaver";
  RegisterClassExA(&saverClass);
  shell.mainWindow = CreateWindowExA(WS_EX_TOPMOST, "glmzsaver", "Glimmerz", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480,
                                     nullptr, nullptr, nullptr, nullptr);
  renderDevice.displayWidth = 640;
  renderDevice.displayHeight = 480;
  renderDevice.displayBpp = 16;
  for (const PictureSize& p : standInPictures) {
    std::vector<uint32_t> pixels((size_t)p.width * p.height);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = (uint32_t)(i * 0x070503 + p.id);
    PutBitmapResource(p.id, Rgb24Bitmap(p.width, p.height, pixels));
  }
  ClearRecordedCalls();
}

void GfxTest::TearDown() {
  // Whatever a test left behind goes, so the next one starts from nothing.
  TearDownRenderDevice();
  ResetFakeDirectX();
  ResetFakeSystem();
}

void GfxTest::SetUpDevice() {
  ASSERT_EQ(1, SetUpRenderDevice());
  ClearRecordedCalls();
  fakeDirectX.draws.clear();
}
