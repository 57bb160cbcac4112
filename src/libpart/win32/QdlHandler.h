#pragma once
#include "libpart/QdlFile.h"
#include "shell/win32/FileHandler.h"

namespace orv {

// Object scripts: one "Script" page with the editable document name over the
// read-only script. They carry no preview, so the fixed icon stands.
class QdlHandler : public FileHandler {
public:
    bool Claims(const char* path) override;
    bool LoadContents() override;
    int32_t PageCount() override;
    bool FillPage(uint32_t slot, PROPSHEETPAGEA& page) override;

    bool WriteDocumentName(const std::string& newName);
    const QdlFile& Document() const { return document; }

private:
    QdlFile document;
};

}  // namespace orv
