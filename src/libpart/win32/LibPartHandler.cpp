#include "libpart/win32/LibPartHandler.h"

#include <iterator>

#include "libpart/win32/LibPartInfoPage.h"
#include "preview/win32/PreviewDrawing.h"
#include "resources/resource.h"
#include "shell/win32/TextPageProc.h"
#include "util/win32/ModuleInstance.h"

namespace orv {
namespace {

struct TextPage {
    UINT titleId;
    TextBuffer LibPartFile::*text;
    DLGPROC procedure;
};

// Page slots 1 to 7, in this order.
constexpr TextPage textPages[] = {
    {IDS_1D_SCRIPT, &LibPartFile::script1D, TitledTextPageProc<IDS_1D_SCRIPT>},
    {IDS_2D_SCRIPT, &LibPartFile::script2D, TitledTextPageProc<IDS_2D_SCRIPT>},
    {IDS_3D_SCRIPT, &LibPartFile::script3D, TitledTextPageProc<IDS_3D_SCRIPT>},
    {IDS_PROPERTIES_SCRIPT, &LibPartFile::propertiesScript, TitledTextPageProc<IDS_PROPERTIES_SCRIPT>},
    {IDS_VALUE_LIST_SCRIPT, &LibPartFile::valueListScript, TitledTextPageProc<IDS_VALUE_LIST_SCRIPT>},
    {IDS_UID_SCRIPT, &LibPartFile::uidScript, TitledTextPageProc<IDS_UID_SCRIPT>},
    {IDS_COMMENT, &LibPartFile::comment, TitledTextPageProc<IDS_COMMENT>},
};

// Objects whose type has an icon of its own for when they carry no preview.
constexpr struct {
    uint32_t typeCode;
    int iconId;
} typeIcons[] = {
    {0x50534153, IDI_PSAS},   // "PSAS"
    {0x53746169, IDI_STAIR},  // "Stai"
};

}  // namespace

bool LibPartHandler::Claims(const char* newPath)
{
    return MatchExtension(newPath, LibPartExtensions);
}

bool LibPartHandler::LoadContents()
{
    return document.Load(path);
}

int32_t LibPartHandler::PageCount()
{
    return 1 + static_cast<int32_t>(std::size(textPages));
}

bool LibPartHandler::FillPage(uint32_t slot, PROPSHEETPAGEA& page)
{
    if (slot == 0) {
        SetPage(page, IDD_LIBPART_PROPERTIES, LibPartInfoPageProc);
        return true;
    }
    if (slot > std::size(textPages))
        return false;
    const TextPage& text = textPages[slot - 1];
    if ((document.*text.text).GetLength() == 0)
        return false;
    SetPage(page, IDD_LIBPART_SCRIPT, text.procedure, text.titleId);
    return true;
}

bool LibPartHandler::MakeIcons(uint16_t largeSize, HICON& large, uint16_t smallSize, HICON& small)
{
    if (document.platformMark == 0)
        LoadContents();
    if (PreviewIcons(document.preview, largeSize, large, smallSize, small))
        return true;
    for (const auto& [typeCode, iconId] : typeIcons) {
        if (document.typeCode == typeCode) {
            large = LoadIconA(ModuleInstance(), MAKEINTRESOURCEA(iconId));
            small = large;
            return true;
        }
    }
    return FileHandler::MakeIcons(largeSize, large, smallSize, small);
}

void LibPartHandler::DrawPreview(HDC dc, const RECT& rect)
{
    orv::DrawPreview(document.preview, dc, rect);
}

const TextBuffer& LibPartHandler::PageText(UINT titleId)
{
    for (const TextPage& text : textPages)
        if (text.titleId == titleId)
            return document.*text.text;
    return infoText;
}

bool LibPartHandler::WriteDocumentName(const std::string& newName)
{
    return document.WriteDocumentName(path, newName);
}

}  // namespace orv
