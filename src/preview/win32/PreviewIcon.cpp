#include "preview/win32/PreviewIcon.h"

#include "preview/PictureHeaders.h"
#include "preview/win32/PreviewDrawing.h"
#include "util/win32/UniqueHandle.h"

namespace orv {

HICON MakeIcon(const PreviewPicture& picture, int size)
{
    const uint8_t* block = picture.GetBlock();
    if (block == nullptr || size <= 0)
        return nullptr;
    auto header = LoadStruct<PreviewHeader>(block);
    bool metafile = header.pictureType != 0;
    if (metafile && picture.GetBlockSize() < header.dataOffset)
        return nullptr;

    unique_hbitmap bitmap;
    {
        unique_screen_dc screen(GetDC(nullptr));
        if (!screen)
            return nullptr;
        unique_hdc memory(CreateCompatibleDC(screen.get()));
        if (!memory)
            return nullptr;
        bitmap.reset(CreateCompatibleBitmap(screen.get(), size, size));
        screen.reset();
        if (!bitmap)
            return nullptr;
        unique_select_object selected(memory.get(), bitmap.get());
        RECT square = {0, 0, size, size};
        if (metafile) {
            FillRect(memory.get(), &square, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
            PlayMetafile(memory.get(), square, block, picture.GetBlockSize());
        } else {
            DrawBitmap(memory.get(), square, block, picture.GetBlockSize());
        }
    }
    return BitmapToIcon(bitmap.get(), CLR_INVALID);
}

HICON BitmapToIcon(HBITMAP bitmap, COLORREF key)
{
    BITMAP facts = {};
    if (bitmap == nullptr || GetObjectA(bitmap, sizeof facts, &facts) == 0)
        return nullptr;
    unique_hdc colourDc;
    unique_hdc maskDc;
    {
        unique_screen_dc screen(GetDC(nullptr));
        if (!screen)
            return nullptr;
        colourDc.reset(CreateCompatibleDC(screen.get()));
        maskDc.reset(CreateCompatibleDC(screen.get()));
    }
    if (!colourDc || !maskDc)
        return nullptr;
    unique_hbitmap mask(CreateBitmap(facts.bmWidth, facts.bmHeight, 1, 1, nullptr));
    if (!mask)
        return nullptr;
    bool copied;
    {
        unique_select_object colourSelected(colourDc.get(), bitmap);
        unique_select_object maskSelected(maskDc.get(), mask.get());
        if (!colourSelected || !maskSelected)
            return nullptr;
        if (key == CLR_INVALID) {
            // No key: the device context would keep its own background colour and
            // take the white pixels for key pixels. Without a key nothing is
            // transparent.
            copied = PatBlt(maskDc.get(), 0, 0, facts.bmWidth, facts.bmHeight, BLACKNESS);
        } else {
            // Colour to monochrome: pixels of the background colour, the key, become 1.
            SetBkColor(colourDc.get(), key);
            copied = BitBlt(maskDc.get(), 0, 0, facts.bmWidth, facts.bmHeight, colourDc.get(), 0, 0, SRCCOPY) &&
                     // Monochrome to colour with destination AND NOT source: key pixels
                     // become black, all others keep their colour.
                     BitBlt(colourDc.get(), 0, 0, facts.bmWidth, facts.bmHeight, maskDc.get(), 0, 0, 0x00220326);
        }
    }
    if (!copied)
        return nullptr;
    ICONINFO icon = {TRUE, 0, 0, mask.get(), bitmap};
    return CreateIconIndirect(&icon);
}

}  // namespace orv
