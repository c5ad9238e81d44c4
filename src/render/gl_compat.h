// OpenGL 1.1 headers, plus the EXT_bgra name where a header lacks it.
#pragma once

#ifdef _WIN32
#include <windows.h>
#endif
#include <GL/gl.h>

#ifndef GL_BGRA_EXT
#define GL_BGRA_EXT 0x80E1
#endif

// The largest texture edge of the current context; 0 without a context.
inline GLint ContextTextureLimit() {
  GLint max = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &max);
  return max;
}
