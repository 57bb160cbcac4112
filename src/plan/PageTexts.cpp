#include "plan/PageTexts.h"

#include <cstdio>

#include "plan/PlatformMark.h"
#include "resources/resource.h"

namespace orv {

std::string VersionText(int32_t version)
{
    int32_t major = version / 1000;
    int32_t minor = version - major * 1000;
    char text[32];
    std::snprintf(text, sizeof text, "%3d.%03d", static_cast<int>(major), static_cast<int>(minor));
    std::string result(text);
    while (!result.empty() && result.back() == '0')
        result.pop_back();
    if (!result.empty() && result.back() == '.')
        result.push_back('0');
    return result;
}

int PlatformStringId(uint32_t platform)
{
    switch (platform) {
    case PlatformWindows:
        return IDS_WINDOWS;
    case PlatformMacintosh:
        return IDS_MACINTOSH;
    case PlatformUnix:
        return IDS_UNIX;
    default:
        return IDS_UNKNOWN;
    }
}

std::string SignInText(int32_t signInValue, int32_t changesValue)
{
    return std::to_string(signInValue) + " / " + std::to_string(changesValue);
}

int WriterStringId(int32_t writerCode)
{
    return writerCode == 0 ? IDS_SHEETFOLD : writerCode == 1 ? IDS_BAUVELLE : 0;
}

int PreviewTopWithoutSignIn(int nameLabelBottom, int previewTop)
{
    return nameLabelBottom + (previewTop - nameLabelBottom) / 6;
}

}  // namespace orv
