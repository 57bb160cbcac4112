#pragma once
#include "shell/win32/FileHandler.h"

namespace orv {

// Data files (.qdd, .qpd): a sorted listing of their "info" records on one text page.
class InfoHandler : public FileHandler {
public:
    bool Claims(const char* path) override;
    bool LoadContents() override;
    int32_t PageCount() override;
    bool FillPage(uint32_t slot, PROPSHEETPAGEA& page) override;
};

}  // namespace orv
