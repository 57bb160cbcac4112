#pragma once
#include <windows.h>
#include <prsht.h>

#include <cstdint>

#include "preview/PreviewPicture.h"
#include "shell/ExtensionMatch.h"
#include "util/TextBuffer.h"

namespace orv {

// One document of one file type. The shell extension object sees documents only
// through these operations; each document kind derives its own handler.
class FileHandler : public ExtensionMatch {
public:
    FileHandler() = default;
    FileHandler(const FileHandler&) = delete;
    FileHandler& operator=(const FileHandler&) = delete;
    virtual ~FileHandler() = default;

    // Whether this class takes the path; matches the extension only, never opens it.
    virtual bool Claims(const char* path) = 0;
    // Reads what the pages, the viewer and the icons need; may run more than once.
    virtual bool LoadContents() = 0;
    virtual int32_t PageCount() = 0;
    // Sets the template and dialog procedure of page slot; false when the document
    // has no such page.
    virtual bool FillPage(uint32_t slot, PROPSHEETPAGEA& page) = 0;
    // The file type's fixed icon, unless a handler draws its document's preview. A
    // size of 0 is not asked for: no icon is made for it.
    virtual bool MakeIcons(uint16_t largeSize, HICON& large, uint16_t smallSize, HICON& small);
    virtual void DrawPreview(HDC dc, const RECT& rect);
    // The text of the text page titled by that string; infoText unless the document
    // has several texts.
    virtual const TextBuffer& PageText(UINT titleId);

    // The text that a plain text page shows.
    TextBuffer infoText;

protected:
    // Names the page's template and procedure; with a title string, also the title
    // (at most 31 characters, as the sheet's tabs allow).
    static void SetPage(PROPSHEETPAGEA& page, const char* templateName, DLGPROC procedure,
                        UINT titleId = 0);
    // Icons drawn from the preview at each size asked for; false, with neither set,
    // when the preview cannot give them.
    static bool PreviewIcons(const PreviewPicture& preview, uint16_t largeSize, HICON& large,
                             uint16_t smallSize, HICON& small);
};

}  // namespace orv
