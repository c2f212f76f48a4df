// DirectDraw surfaces: the flip chain (front and one back buffer, whose pixels
// are the GL target) and textures. A texture keeps its texels in memory with
// the pitch Lock hands out and a GL copy made from them on Unlock; being
// managed that way, it survives anything short of its own release.
#include "gl_api.h"

#include "directx_internal.h"

namespace {
enum SurfaceKind { FrontBuffer, BackBuffer, Texture };

// Rows carry some slack beyond their texels, as many boards' did, so that a
// caller who steps rows by width instead of pitch shows it at once.
DWORD TexturePitch(DWORD width, DWORD bytesPerTexel) { return (width * bytesPerTexel + 8 + 7) & ~7u; }

GLint GlFilter(DWORD d3dFilter) { return d3dFilter == D3DTFG_POINT ? GL_NEAREST : GL_LINEAR; }

GLint GlAddress(DWORD d3dAddress) {
  switch (d3dAddress) {
    case D3DTADDRESS_MIRROR:
      return GL_MIRRORED_REPEAT;
    case D3DTADDRESS_CLAMP:
      return GL_CLAMP_TO_EDGE;
    case D3DTADDRESS_BORDER:
      return GL_CLAMP_TO_BORDER;
    default:
      return GL_REPEAT;
  }
}
}  // namespace

struct DirectDrawSurface : IDirectDrawSurface4, IDirect3DTexture2 {
  ULONG references = 1;
  SurfaceKind kind;
  DirectDrawObject* owner;
  DWORD caps;
  DisplayMode mode = {0, 0, 0};       // flip chain: the display mode it was made for
  DirectDrawSurface* back = nullptr;  // front buffer: its back buffer (one reference)

  // Texture
  DWORD width = 0;
  DWORD height = 0;
  const TextureFormat* format = nullptr;
  DWORD pitch = 0;
  std::vector<uint8_t> texels;
  bool locked = false;
  bool changed = true;  // texels newer than the GL copy
  GLuint glName = 0;
  uint32_t glGeneration = 0;
  GLint applied[4] = {0, 0, 0, 0};  // mag, min, wrap s, wrap t
  TextureHull hull;                 // of the texels as uploaded

  DirectDrawSurface(SurfaceKind kind, DirectDrawObject* owner, DWORD caps) : kind(kind), owner(owner), caps(caps) {
    DirectDrawInterface(owner)->AddRef();
  }
  ~DirectDrawSurface() override {
    if (back) back->Release();
    if (kind == Texture) FlushGlDraws();  // a waiting draw may show it
    if (glName && glGeneration == GlTargetGeneration() && MakeGlTargetCurrent()) {
      glDeleteTextures(1, &glName);
      ForgetGlState();  // the name may come back for another texture
    }
    DirectDrawInterface(owner)->Release();
  }

  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDirectDrawSurface4) {
      *object = static_cast<IDirectDrawSurface4*>(this);
    } else if (iid == IID_IDirect3DTexture2 && kind == Texture) {
      *object = static_cast<IDirect3DTexture2*>(this);
    } else {
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG AddRef() override { return ++references; }
  ULONG Release() override {
    ULONG left = --references;
    if (left == 0) delete this;
    return left;
  }

  HRESULT GetAttachedSurface(LPDDSCAPS2 wanted, LPDIRECTDRAWSURFACE4* attached) override {
    if (!attached || !wanted) return DDERR_INVALIDPARAMS;
    *attached = nullptr;
    if (!back || (wanted->dwCaps & ~back->caps) || wanted->dwCaps == 0) return DDERR_NOTFOUND;
    back->AddRef();
    *attached = back;
    return DD_OK;
  }

  HRESULT Flip(LPDIRECTDRAWSURFACE4 target, DWORD flags) override {
    if (kind != FrontBuffer) return DDERR_NOTFLIPPABLE;
    if (target && target != back) return DDERR_INVALIDPARAMS;
    DisplayMode now;
    if (!DirectDrawMode(owner, &now) || now.width != mode.width || now.height != mode.height || now.bpp != mode.bpp)
      return DDERR_SURFACELOST;
    FlushGlDraws();
    if (!PrepareGlTarget(DirectDrawWindow(owner), mode.width, mode.height, mode.bpp)) return DDERR_GENERIC;
    PresentGlTarget((flags & DDFLIP_WAIT) && !(flags & DDFLIP_NOVSYNC));
    return DD_OK;
  }

  HRESULT Lock(LPRECT rect, LPDDSURFACEDESC2 desc, DWORD, HANDLE) override {
    if (!desc || !IsSurfaceDescSize(desc->dwSize)) return DDERR_INVALIDPARAMS;
    // The flip chain's pixels live in GL; nothing the program does reads them.
    if (kind != Texture) return DDERR_UNSUPPORTED;
    if (locked) return DDERR_SURFACEBUSY;
    FlushGlDraws();
    DWORD left = 0, top = 0;
    if (rect) {
      if (rect->left < 0 || rect->top < 0 || rect->left >= rect->right || rect->top >= rect->bottom ||
          (DWORD)rect->right > width || (DWORD)rect->bottom > height)
        return DDERR_INVALIDPARAMS;
      left = (DWORD)rect->left;
      top = (DWORD)rect->top;
    }
    DWORD size = desc->dwSize;
    *desc = DDSURFACEDESC2();
    desc->dwSize = size;
    desc->dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT | DDSD_LPSURFACE;
    desc->dwWidth = width;
    desc->dwHeight = height;
    desc->lPitch = (LONG)pitch;
    desc->lpSurface = texels.data() + top * pitch + left * format->bytesPerTexel;
    desc->ddpfPixelFormat = format->pixelFormat;
    desc->ddsCaps.dwCaps = caps;
    desc->ddsCaps.dwCaps2 = DDSCAPS2_TEXTUREMANAGE;
    locked = true;
    return DD_OK;
  }

  HRESULT Unlock(LPRECT) override {
    if (kind != Texture || !locked) return DDERR_NOTLOCKED;
    locked = false;
    changed = true;
    if (MakeGlTargetCurrent()) Upload();
    return DD_OK;
  }

  void Upload() {
    FlushGlDraws();                                        // waiting draws show the texels they were drawn with
    if (glGeneration != GlTargetGeneration()) glName = 0;  // made in a context that is gone
    if (!glName) {
      glGenTextures(1, &glName);
      glGeneration = GlTargetGeneration();
      for (GLint& value : applied) value = 0;
    }
    BindGlTexture(glName);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    UploadTexels(*format, width, height, pitch, texels.data());
    FindTextureHull(*format, width, height, pitch, texels.data(), &hull);
    changed = false;
  }
};

HRESULT CreateFlipChain(DirectDrawObject* owner, LPDIRECTDRAWSURFACE4* primary) {
  DisplayMode mode;
  if (!DirectDrawMode(owner, &mode)) return DDERR_NOEXCLUSIVEMODE;
  auto* front = new DirectDrawSurface(FrontBuffer, owner,
                                      DDSCAPS_PRIMARYSURFACE | DDSCAPS_FRONTBUFFER | DDSCAPS_FLIP | DDSCAPS_COMPLEX |
                                          DDSCAPS_3DDEVICE | DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM);
  front->back = new DirectDrawSurface(BackBuffer, owner,
                                      DDSCAPS_BACKBUFFER | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE |
                                          DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM);
  front->mode = front->back->mode = mode;
  *primary = front;
  return DD_OK;
}

HRESULT CreateTextureSurface(DirectDrawObject* owner, const DDSURFACEDESC2& desc, LPDIRECTDRAWSURFACE4* surface) {
  if ((desc.dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) != (DDSD_WIDTH | DDSD_HEIGHT)) return DDERR_INVALIDPARAMS;
  if (desc.dwWidth < 1 || desc.dwHeight < 1 || desc.dwWidth > 4096 || desc.dwHeight > 4096) return DDERR_INVALIDPARAMS;
  const TextureFormat* format = &textureFormats[0];
  if (desc.dwFlags & DDSD_PIXELFORMAT) {
    format = FindTextureFormat(desc.ddpfPixelFormat);
    if (!format) return DDERR_INVALIDPIXELFORMAT;
  }
  auto* texture = new DirectDrawSurface(Texture, owner, DDSCAPS_TEXTURE | (desc.ddsCaps.dwCaps & DDSCAPS_3DDEVICE));
  texture->width = desc.dwWidth;
  texture->height = desc.dwHeight;
  texture->format = format;
  texture->pitch = TexturePitch(desc.dwWidth, format->bytesPerTexel);
  texture->texels.assign((size_t)texture->pitch * desc.dwHeight, 0);
  *surface = texture;
  return DD_OK;
}

DirectDrawSurface* PortSurface(IDirectDrawSurface4* surface) { return dynamic_cast<DirectDrawSurface*>(surface); }
DirectDrawSurface* PortTexture(IDirect3DTexture2* texture) { return dynamic_cast<DirectDrawSurface*>(texture); }
IDirectDrawSurface4* SurfaceInterface(DirectDrawSurface* surface) { return surface; }
bool IsRenderTarget(DirectDrawSurface* surface) { return surface && surface->kind == BackBuffer; }
DirectDrawObject* SurfaceOwner(DirectDrawSurface* surface) { return surface ? surface->owner : nullptr; }

bool SurfaceMode(DirectDrawSurface* surface, DisplayMode* mode) {
  if (!surface || surface->kind == Texture) return false;
  *mode = surface->mode;
  return true;
}

bool UploadSurfaceTexture(DirectDrawSurface* surface) {
  if (!surface || surface->kind != Texture) return false;
  if (surface->changed || surface->glGeneration != GlTargetGeneration() || !surface->glName) surface->Upload();
  return true;
}

bool BindSurfaceTexture(DirectDrawSurface* surface, DWORD magFilter, DWORD minFilter, DWORD addressU, DWORD addressV) {
  if (!surface || surface->kind != Texture) return false;
  if (surface->changed || surface->glGeneration != GlTargetGeneration() || !surface->glName) surface->Upload();
  BindGlTexture(surface->glName);
  const GLint wanted[4] = {GlFilter(magFilter), GlFilter(minFilter), GlAddress(addressU), GlAddress(addressV)};
  const GLenum names[4] = {GL_TEXTURE_MAG_FILTER, GL_TEXTURE_MIN_FILTER, GL_TEXTURE_WRAP_S, GL_TEXTURE_WRAP_T};
  for (int i = 0; i < 4; ++i)
    if (surface->applied[i] != wanted[i]) {
      glTexParameteri(GL_TEXTURE_2D, names[i], wanted[i]);
      surface->applied[i] = wanted[i];
    }
  return true;
}

bool TextureOpaque(DirectDrawSurface* surface) {
  return surface && surface->kind == Texture && surface->format && surface->format->glInternalFormat == GL_RGB8;
}

const TextureHull* SurfaceHull(DirectDrawSurface* surface) {
  return surface && surface->kind == Texture ? &surface->hull : nullptr;
}

bool ReadTextureFromGl(DirectDrawSurface* surface, std::vector<uint8_t>* texels) {
  if (!surface || surface->kind != Texture || !MakeGlTargetCurrent()) return false;
  FlushGlDraws();
  if (surface->changed || surface->glGeneration != GlTargetGeneration() || !surface->glName) surface->Upload();
  BindGlTexture(surface->glName);
  return ReadBoundTexels(*surface->format, surface->width, surface->height, texels);
}
