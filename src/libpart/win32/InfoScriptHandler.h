#pragma once
#include "shell/win32/FileHandler.h"

namespace orv {

// Vector font files (.vec): their Macintosh and Windows font tables with versions,
// listed on one text page.
class InfoScriptHandler : public FileHandler {
public:
    bool Claims(const char* path) override;
    bool LoadContents() override;
    int32_t PageCount() override;
    bool FillPage(uint32_t slot, PROPSHEETPAGEA& page) override;
};

}  // namespace orv
