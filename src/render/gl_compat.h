// OpenGL 1.1 headers, plus the EXT_bgra name where a header lacks it.
#pragma once

#ifdef _WIN32
#include <windows.h>
#endif
#include <GL/gl.h>

#ifndef GL_BGRA_EXT
#define GL_BGRA_EXT 0x80E1
#endif
