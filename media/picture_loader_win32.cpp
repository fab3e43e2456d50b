// Pictures from the quiz resources: JPEG and GIF through OLE, PNG through the
// program's own decoder, each fitted into its box with a halftone stretch.
#include "media/picture_loader.h"

#include <ole2.h>
#include <olectl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "media/picture_fit.h"
#include "media/picture_resources.h"
#include "media/png_decoder.h"
#include "package/message_box.h"
#include "package/resource_store.h"
#include "shell/gdi_win32.h"

HBITMAP loadPicture(int id, int boxWidth, int boxHeight) {
    const ResourceStore* store = quizResources();
    ResourceBytes picture = store ? store->find(KERBO_TYPE_IMG, id) : ResourceBytes{nullptr, 0, false};
    if (!picture.bytes) return loadPngPicture(id, boxWidth, boxHeight);
    HBITMAP decoded;
    if (isNibbleSwappedPicture(id)) {
        // Unscrambled on a copy: the stored resource stays as it is.
        unsigned char* plain = static_cast<unsigned char*>(std::malloc(picture.size ? picture.size : 1));
        if (!plain) return nullptr;
        swapNibbles(picture.bytes, plain, picture.size);
        decoded = decodePicture(plain, picture.size);
        std::free(plain);
    } else {
        decoded = decodePicture(picture.bytes, picture.size);
    }
    return fitBitmap(decoded, boxWidth, boxHeight);
}

// The decoded picture's bitmap, copied so that it outlives the picture
// object; the "CopyImage" message when the copy fails.
static HBITMAP copyPictureBitmap(IPicture* picture) {
    OLE_HANDLE handle = 0;
    picture->get_Handle(&handle);
    HBITMAP copy = static_cast<HBITMAP>(
        CopyImage(reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(handle)), IMAGE_BITMAP, 0, 0, 0));
    if (!copy) {
        DWORD error = GetLastError();
        char text[128];
        std::snprintf(text, sizeof text, "%s plante avec l'erreur : %d\n", "CopyImage", static_cast<int>(error));
        showMessage(text, "Information", MessageIconInformation);
    }
    return copy;
}

HBITMAP decodePicture(const unsigned char* bytes, uint32_t length) {
    if (!bytes || length == 0) return nullptr;
    HRESULT com = CoInitialize(nullptr);
    HBITMAP result = nullptr;
    // A fixed block: its handle is its address. The stream frees it.
    HGLOBAL block = GlobalAlloc(GMEM_FIXED, length);
    if (block) {
        std::memcpy(block, bytes, length);
        IStream* stream = nullptr;
        if (CreateStreamOnHGlobal(block, TRUE, &stream) != S_OK || !stream) {
            GlobalFree(block);
        } else {
            IPicture* picture = nullptr;
            if (SUCCEEDED(OleLoadPicture(stream, static_cast<LONG>(length), FALSE, IID_IPicture,
                                         reinterpret_cast<void**>(&picture))) &&
                picture) {
                result = copyPictureBitmap(picture);
                picture->Release();
            }
            stream->Release();
        }
    }
    // Balanced with a successful CoInitialize only (S_FALSE counts too).
    if (SUCCEEDED(com)) CoUninitialize();
    return result;
}

HBITMAP loadPngPicture(int id, int boxWidth, int boxHeight) {
    PngResourceDecoder decoder;
    init(decoder);
    if (!openResource(decoder, quizResources(), id)) return nullptr;
    if (!decode(decoder)) {
        showMessage("Error: couldn't decode PNG resource", "Information", MessageIconError);
        release(decoder);
        return nullptr;
    }
    HBITMAP bitmap = makeBitmap(decoder);
    if (!bitmap) {
        showMessage("Error: couldn't create bitmap", "Information", MessageIconError);
        release(decoder);
        return nullptr;
    }
    release(decoder);
    return fitBitmap(bitmap, boxWidth, boxHeight);
}

HBITMAP fitBitmap(HBITMAP bitmap, int boxWidth, int boxHeight) {
    if (!bitmap) return nullptr;
    WindowDC screen(nullptr);
    BitmapObject source(bitmap);  // deleted on every path
    BITMAP geometry;
    if (!GetObjectA(bitmap, sizeof geometry, &geometry)) return nullptr;
    int width = geometry.bmWidth;
    int height = geometry.bmHeight < 0 ? -geometry.bmHeight : geometry.bmHeight;
    FittedSize size = fitPictureSize(width, height, boxWidth, boxHeight);

    MemoryDC from(screen.get());
    MemoryDC to(screen.get());
    BitmapObject fitted(CreateCompatibleBitmap(screen.get(), size.width, size.height));
    if (!from || !to || !fitted) return nullptr;
    {
        Selection sourceSelected(from.get(), bitmap);
        Selection fittedSelected(to.get(), fitted.get());
        SetStretchBltMode(to.get(), HALFTONE);
        StretchBlt(to.get(), 0, 0, size.width, size.height, from.get(), 0, 0, width, height, SRCCOPY);
    }  // both previous bitmaps selected back before anything is deleted
    return fitted.release();
}

PictureSize pictureSize(HBITMAP bitmap) {
    BITMAP geometry;
    if (!bitmap || !GetObjectA(bitmap, sizeof geometry, &geometry)) return PictureSize{0, 260};
    return PictureSize{geometry.bmHeight < 0 ? -geometry.bmHeight : geometry.bmHeight, geometry.bmWidth};
}
