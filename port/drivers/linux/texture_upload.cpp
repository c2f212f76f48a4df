// Textures to and from desktop GL, which takes Direct3D's formats as they are
// (the table's GL names) and keeps them at 8 bits a channel.
#include "directx/directx_internal.h"
#include "directx/gl_api.h"

void UploadTexels(const TextureFormat& format, DWORD width, DWORD height, DWORD pitch, const uint8_t* texels) {
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, (GLint)(pitch / format.bytesPerTexel));
  glTexImage2D(GL_TEXTURE_2D, 0, (GLint)format.glInternalFormat, (GLsizei)width, (GLsizei)height, 0, format.glFormat,
               format.glType, texels);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
}

bool ReadBoundTexels(const TextureFormat& format, DWORD width, DWORD height, std::vector<uint8_t>* texels) {
  texels->assign((size_t)width * height * format.bytesPerTexel, 0);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, format.glFormat, format.glType, texels->data());
  return true;
}
