// Recording stand-ins for the DirectDraw 4 / Direct3D 3 interfaces of
// port/directx/directx.h: every call is logged (support/recorder.h) as
// "Object.Method(args)", results can be made to fail per method, and the
// device keeps the states, transforms and draws a test wants to look at.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform.h"
#include "support/recorder.h"

struct FakeComObject;

// One DrawPrimitive as the device saw it.
struct FakeDraw {
  D3DPRIMITIVETYPE type;
  DWORD vertexFormat;
  DWORD vertexCount;
  DWORD flags;
  std::vector<BYTE> vertices;  // vertexCount vertices of the format's size
  D3DMATRIX world;             // the world transform at the time (identity if never set)
  IDirect3DTexture2* texture;  // bound on stage 0
  std::map<DWORD, DWORD> renderStates;

  template <class Vertex>
  const Vertex& At(int i) const {
    return reinterpret_cast<const Vertex*>(vertices.data())[i];
  }
};

struct FakeTextureSurface {
  std::string name;  // "surface#n", in creation order
  DDSURFACEDESC2 desc;
  LONG pitch;
  std::vector<BYTE> memory;
  WORD Texel(DWORD x, DWORD y) const;
};

struct FakeDirectX {
  // Results to give instead of success, keyed "Object.Method", e.g.
  // "DirectDraw.SetDisplayMode"; "DirectDraw.CreateSurface" means the flip
  // chain, "DirectDraw.CreateTextureSurface" a texture's surface.
  std::map<std::string, HRESULT> failures;
  // Texture formats the device offers, in order.
  std::vector<DDPIXELFORMAT> textureFormats;
  // Extra bytes at the end of every locked texture row.
  LONG pitchPadding = 0;

  // Device state as set through the calls.
  std::map<DWORD, DWORD> renderStates;
  std::map<DWORD, std::map<DWORD, DWORD>> stageStates;
  std::map<DWORD, D3DMATRIX> transforms;
  IDirect3DTexture2* boundTexture = nullptr;
  std::vector<FakeDraw> draws;
  std::vector<FakeTextureSurface*> textureSurfaces;

  // What IDirect3D3::EnumDevices reports, in order; a null description is
  // handed over as a null pointer.
  struct DeviceType {
    GUID guid;
    std::string name;
    std::unique_ptr<D3DDEVICEDESC> hardware, software;
  };
  std::vector<DeviceType> deviceTypes;
  // What IDirectDraw4::EnumDisplayModes reports, in order: each mode is offered
  // by the board named (as in the call log), or by every board when empty.
  struct DisplayMode {
    DDSURFACEDESC2 desc;
    std::string board;
  };
  std::vector<DisplayMode> displayModes;

  // Every object ever made, with its reference count.
  std::vector<std::unique_ptr<FakeComObject>> objects;
};

extern FakeDirectX fakeDirectX;

// Fresh state: the device offers X1R5G5B5, A1R5G5B5, A4R4G4B4, R5G6B5 (in that
// order); no failures; no objects.
void ResetFakeDirectX();

// An RGB display mode as DirectDraw describes it, and a device type that draws
// at the given DDBD_ depths (through its hardware or its software description).
DDSURFACEDESC2 FakeDisplayMode(DWORD width, DWORD height, DWORD bits);
void AddFakeDeviceType(const GUID& guid, const std::string& name, DWORD renderDepths, bool hardware = true);

// The name of a fake object ("directDraw", "device", "texture#2", ...), or "null".
std::string FakeName(const void* object);
// Objects still holding references, by name.
std::vector<std::string> LiveFakeObjects();
// The texture interface made from the n-th texture surface, or null.
IDirect3DTexture2* FakeTextureOf(int surfaceIndex);

// 16-bit formats as devices describe them.
DDPIXELFORMAT FakeFormat(DWORD flags, DWORD red, DWORD green, DWORD blue, DWORD alpha);
DDPIXELFORMAT FakeFormatX1R5G5B5();
DDPIXELFORMAT FakeFormatA1R5G5B5();
DDPIXELFORMAT FakeFormatA4R4G4B4();
DDPIXELFORMAT FakeFormatR5G6B5();

// What CoCreateInstance hands out for CLSID_DirectDraw.
HRESULT CreateFakeDirectDraw(REFIID iid, void** object);

// Base of all fakes: a name and a reference count.
struct FakeComObject {
  std::string name;
  ULONG refs = 1;
  IUnknown* face = nullptr;  // the interface the program holds
  virtual ~FakeComObject() = default;
};
