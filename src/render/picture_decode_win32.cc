// PNG and JPEG through the Windows Imaging Component, reached through COM
// (so the program imports ole32 alone, never windowscodecs.dll itself).
#include <windows.h>
// clang-format off
#include <initguid.h>  // the WIC GUIDs are defined here, in this one file
#include <wincodec.h>
// clang-format on

#include <algorithm>

#include "render/picture_decode.h"

namespace {

template <typename T>
void Release(T* object) {
  if (object) object->Release();
}

// WIC writes rows top-down; the block keeps them bottom-up.
void TurnRowsOver(PackedBitmap* block) {
  const BitmapInfoHeader h = PackedBitmapHeader(block);
  const size_t stride = size_t(h.biWidth) * 4;
  uint8_t* rows = block + kInfoHeaderBytes;
  for (size_t top = 0, bottom = size_t(h.biHeight) - 1; top < bottom; ++top, --bottom)
    std::swap_ranges(rows + top * stride, rows + (top + 1) * stride, rows + bottom * stride);
}

// The first frame as blue, green, red and straight alpha, into a new block.
PackedBitmap* CopyFirstFrame(IWICImagingFactory* factory, IWICBitmapDecoder* decoder,
                             PictureProblem* problem) {
  IWICBitmapFrameDecode* frame = nullptr;
  IWICFormatConverter* converter = nullptr;
  PackedBitmap* block = nullptr;
  UINT width = 0, height = 0;
  if (SUCCEEDED(decoder->GetFrame(0, &frame)) && SUCCEEDED(frame->GetSize(&width, &height)) &&
      (block = NewPictureBlock(width, height, problem)) != nullptr &&
      SUCCEEDED(factory->CreateFormatConverter(&converter)) &&
      SUCCEEDED(converter->Initialize(frame, GUID_WICPixelFormat32bppBGRA,
                                      WICBitmapDitherTypeNone, nullptr, 0.0,
                                      WICBitmapPaletteTypeCustom)) &&
      SUCCEEDED(converter->CopyPixels(nullptr, width * 4, width * 4 * height,
                                      block + kInfoHeaderBytes))) {
    TurnRowsOver(block);
  } else if (block) {
    FreePackedBitmap(block);
    block = nullptr;
  }
  Release(converter);
  Release(frame);
  return block;
}

PackedBitmap* DecodeWithWic(const uint8_t* data, size_t size, bool* transparent,
                            PictureProblem* problem) {
  *transparent = true;  // whatever the form, the converter gives alpha
  if (size > MAXDWORD) {
    *problem = PICTURE_TOO_LARGE;
    return nullptr;
  }
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  IWICImagingFactory* factory = nullptr;
  IWICStream* stream = nullptr;
  IWICBitmapDecoder* decoder = nullptr;
  PackedBitmap* block = nullptr;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IWICImagingFactory, reinterpret_cast<void**>(&factory)))) {
    *problem = PICTURE_NO_DECODER;
  } else if (SUCCEEDED(factory->CreateStream(&stream)) &&
             SUCCEEDED(stream->InitializeFromMemory(const_cast<BYTE*>(data), DWORD(size))) &&
             SUCCEEDED(factory->CreateDecoderFromStream(stream, nullptr,
                                                        WICDecodeMetadataCacheOnDemand, &decoder))) {
    block = CopyFirstFrame(factory, decoder, problem);
  }
  Release(decoder);
  Release(stream);
  Release(factory);
  if (SUCCEEDED(com)) CoUninitialize();
  if (block) *problem = PICTURE_FINE;
  return block;
}

}  // namespace

// WIC's decoders scale no JPEG while decoding: one decode serves the pieces.
PackedBitmap* DecodePng(const uint8_t* data, size_t size, int32_t, bool* transparent,
                        PictureProblem* problem) {
  *problem = PICTURE_DAMAGED_PNG;
  return DecodeWithWic(data, size, transparent, problem);
}

PackedBitmap* DecodeJpeg(const uint8_t* data, size_t size, int32_t, bool* transparent,
                         PictureProblem* problem) {
  *problem = PICTURE_DAMAGED_JPEG;
  return DecodeWithWic(data, size, transparent, problem);
}
