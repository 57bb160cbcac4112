#pragma once
#include "libpart/LibPartFile.h"
#include "shell/win32/FileHandler.h"

namespace orv {

// Library parts: an "Info & Preview" page with the editable document name, a
// read-only page for each script and the comment that is not empty, and icons drawn
// from the preview, else chosen by the object's type.
class LibPartHandler : public FileHandler {
public:
    bool Claims(const char* path) override;
    bool LoadContents() override;
    int32_t PageCount() override;
    bool FillPage(uint32_t slot, PROPSHEETPAGEA& page) override;
    bool MakeIcons(uint16_t largeSize, HICON& large, uint16_t smallSize, HICON& small) override;
    void DrawPreview(HDC dc, const RECT& rect) override;
    const TextBuffer& PageText(UINT titleId) override;

    bool WriteDocumentName(const std::string& newName);
    const LibPartFile& Document() const { return document; }

private:
    LibPartFile document;
};

}  // namespace orv
