// The decoded PNG as a device-independent bitmap section of the screen.
#include <cstring>

#include "media/png_convert.h"
#include "media/png_decoder.h"
#include "shell/gdi_win32.h"

namespace {

struct DibInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
};
static_assert(sizeof(PngDibHeader) == sizeof(BITMAPINFOHEADER), "PngDibHeader is a BITMAPINFOHEADER");
static_assert(sizeof(PngBitmapInfo) == sizeof(DibInfo), "PngBitmapInfo is a BITMAPINFO with 256 colours");

}  // namespace

HBITMAP makeBitmap(PngResourceDecoder& decoder) {
    if (decoder.decodeState != PngDecoded) {
        decoder.error = PngError::WrongState;
        return nullptr;
    }
    PngBitmapInfo format;
    pngBitmapInfo(decoder, format);
    DibInfo info;
    std::memcpy(&info, &format, sizeof info);

    WindowDC screen(nullptr);
    void* bits = nullptr;
    BitmapObject section(CreateDIBSection(screen.get(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                          &bits, nullptr, 0));
    if (!section || !bits) {
        decoder.error = PngError::BitmapFailed;
        return nullptr;
    }
    if (!pngConvert(decoder, static_cast<unsigned char*>(bits), pngBitmapBitsSize(format))) return nullptr;
    return section.release();
}
