#pragma once
#include "libpart/ModulFile.h"
#include "shell/win32/FileHandler.h"

namespace orv {

// Modules: an "Info & Preview" page with version, release and the preview, and icons
// drawn from the preview. Nothing is written back.
class ModulHandler : public FileHandler {
public:
    bool Claims(const char* path) override;
    bool LoadContents() override;
    int32_t PageCount() override;
    bool FillPage(uint32_t slot, PROPSHEETPAGEA& page) override;
    bool MakeIcons(uint16_t largeSize, HICON& large, uint16_t smallSize, HICON& small) override;
    void DrawPreview(HDC dc, const RECT& rect) override;

    const ModulFile& Document() const { return document; }

private:
    ModulFile document;
};

}  // namespace orv
