// Uploads, texture parameters and read-back. There are no texture objects: an
// upload makes a new image for the default texture (name 0), kept on the CPU
// as RGBA bytes, bottom row first, and in an ES texture of its own while the
// layer is started (Images.cpp). Rows in the caller's memory are padded to the
// unpack alignment on upload and to the pack alignment on read-back, as GL
// pads them.
#include "gl11/Gl11Context.h"

namespace gl11 {

namespace {

size_t RowStride(GLsizei width, int components, GLint alignment) {
  const size_t rowBytes = size_t(width) * size_t(components);
  return (rowBytes + size_t(alignment) - 1) / size_t(alignment) * size_t(alignment);
}

// Validates an upload and, when it is good, turns it into a new image. Returns
// the image, or -1 with `failure` set.
int MakeImage(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint border,
              GLenum format, GLenum type, const GLvoid* pixels, GLenum& failure) {
  failure = GL_NO_ERROR;
  if (target != GL_TEXTURE_2D || (format != GL_RGB && format != GL_RGBA) || type != GL_UNSIGNED_BYTE) {
    failure = GL_INVALID_ENUM;
    return -1;
  }
  if (internalFormat != GL_RGBA || level != 0 || width < 0 || height < 0 || border != 0) {
    failure = GL_INVALID_VALUE;
    return -1;
  }
  std::vector<uint8_t> rgba(size_t(width) * size_t(height) * 4, 0);
  const int components = format == GL_RGB ? 3 : 4;
  const size_t stride = RowStride(width, components, context.unpackAlignment);
  const uint8_t* source = static_cast<const uint8_t*>(pixels);
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* out = &rgba[size_t(y) * size_t(width) * 4];
    const uint8_t* in = source ? source + size_t(y) * stride : nullptr;
    for (int32_t x = 0; x < width; ++x, out += 4) {
      // No data leaves the texels undefined in GL: here black, and opaque when
      // the data would have had no alpha.
      if (!in) {
        out[3] = components == 4 ? 0 : 255;
        continue;
      }
      const uint8_t* p = in + size_t(x) * size_t(components);
      out[0] = p[0];
      out[1] = p[1];
      out[2] = p[2];
      out[3] = components == 4 ? p[3] : 255;
    }
  }
  return AddImage(width, height, rgba);
}

bool ValidTexParameter(GLenum pname, GLint param) {
  switch (pname) {
    case GL_TEXTURE_MIN_FILTER:
    case GL_TEXTURE_MAG_FILTER: return param == GL_NEAREST || param == GL_LINEAR;
    case GL_TEXTURE_WRAP_S:
    case GL_TEXTURE_WRAP_T: return param == GL_REPEAT;
    default: return false;
  }
}

bool ValidReadFormat(GLenum format, GLenum type) {
  return (format == GL_RGB || format == GL_RGBA) && type == GL_UNSIGNED_BYTE;
}

}  // namespace

void SetTexParameter(GLenum pname, GLint param) {
  if (pname == GL_TEXTURE_MIN_FILTER) context.defaultTexture.minFilter = param;
  if (pname == GL_TEXTURE_MAG_FILTER) context.defaultTexture.magFilter = param;
}

bool TextureComplete() {
  const TextureState& t = context.defaultTexture;
  if (t.image < 0) return false;
  const Image& i = context.images[size_t(t.image)];
  if (i.width == 0 || i.height == 0) return false;
  const bool mipmapped = t.minFilter != GL_NEAREST && t.minFilter != GL_LINEAR;
  // A mipmap filter needs every level down to 1 x 1; only level 0 exists.
  return !mipmapped || (i.width == 1 && i.height == 1);
}

void WritePixels(const uint8_t* rgba, GLsizei width, GLsizei height, GLenum format, GLvoid* pixels) {
  const int components = format == GL_RGB ? 3 : 4;
  const size_t stride = RowStride(width, components, context.packAlignment);
  uint8_t* out = static_cast<uint8_t*>(pixels);
  for (GLsizei y = 0; y < height; ++y) {
    const uint8_t* in = rgba + size_t(y) * size_t(width) * 4;
    uint8_t* row = out + size_t(y) * stride;
    for (GLsizei x = 0; x < width; ++x, in += 4, row += components) std::memcpy(row, in, size_t(components));
  }
}

}  // namespace gl11

using namespace gl11;

void Gl11TexImage2D(GLenum target, GLint level, GLint internalformat, GLsizei width, GLsizei height, GLint border,
                    GLenum format, GLenum type, const GLvoid* pixels) {
  GLenum failure = GL_NO_ERROR;
  const int image = MakeImage(target, level, internalformat, width, height, border, format, type, pixels, failure);
  if (image < 0) {
    Submit(MakeCommand(Op::Error, failure));
    return;
  }
  SubmitUpload(image);
}

void Gl11TexParameteri(GLenum target, GLenum pname, GLint param) {
  if (target != GL_TEXTURE_2D || !ValidTexParameter(pname, param)) {
    Submit(MakeCommand(Op::Error, GL_INVALID_ENUM));
    return;
  }
  Submit(MakeCommand(Op::TexParameter, pname, uint32_t(param)));
}

void Gl11GetTexParameteriv(GLenum target, GLenum pname, GLint* params) {
  if (target != GL_TEXTURE_2D) {
    SetError(GL_INVALID_ENUM);
    return;
  }
  switch (pname) {
    case GL_TEXTURE_MIN_FILTER: *params = context.defaultTexture.minFilter; return;
    case GL_TEXTURE_MAG_FILTER: *params = context.defaultTexture.magFilter; return;
    case GL_TEXTURE_WRAP_S:
    case GL_TEXTURE_WRAP_T: *params = GL_REPEAT; return;
    default: SetError(GL_INVALID_ENUM); return;
  }
}

void Gl11GetTexLevelParameteriv(GLenum target, GLint level, GLenum pname, GLint* params) {
  if (target != GL_TEXTURE_2D) {
    SetError(GL_INVALID_ENUM);
    return;
  }
  const int image = context.defaultTexture.image;
  const Image* i = level == 0 && image >= 0 ? &context.images[size_t(image)] : nullptr;
  switch (pname) {
    case GL_TEXTURE_WIDTH: *params = i ? i->width : 0; return;
    case GL_TEXTURE_HEIGHT: *params = i ? i->height : 0; return;
    default: SetError(GL_INVALID_ENUM); return;
  }
}

void Gl11GetTexImage(GLenum target, GLint level, GLenum format, GLenum type, GLvoid* pixels) {
  if (target != GL_TEXTURE_2D || !ValidReadFormat(format, type)) {
    SetError(GL_INVALID_ENUM);
    return;
  }
  if (level != 0 || context.defaultTexture.image < 0) return;
  const Image& i = context.images[size_t(context.defaultTexture.image)];
  WritePixels(i.rgba.data(), i.width, i.height, format, pixels);
}

void Gl11PixelStorei(GLenum pname, GLint param) {
  if (pname != GL_UNPACK_ALIGNMENT && pname != GL_PACK_ALIGNMENT) {
    SetError(GL_INVALID_ENUM);
    return;
  }
  if (param != 1 && param != 2 && param != 4 && param != 8) {
    SetError(GL_INVALID_VALUE);
    return;
  }
  (pname == GL_UNPACK_ALIGNMENT ? context.unpackAlignment : context.packAlignment) = param;
}

void Gl11ReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type, GLvoid* pixels) {
  if (!ValidReadFormat(format, type)) {
    SetError(GL_INVALID_ENUM);
    return;
  }
  if (width < 0 || height < 0) {
    SetError(GL_INVALID_VALUE);
    return;
  }
  FlushQueue();
  if (!context.started || width == 0 || height == 0) return;
  // ES reads RGBA bytes only.
  std::vector<uint8_t> rgba(size_t(width) * size_t(height) * 4);
  EsReadPixels(x, y, width, height, rgba.data());
  WritePixels(rgba.data(), width, height, format, pixels);
}
