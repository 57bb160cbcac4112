#include "server/win32/ModuleState.h"

#include <objbase.h>

namespace orv {

ModuleState moduleState;

void MakeClassIdString(char (&text)[128])
{
    wchar_t wide[128];
    text[0] = '\0';
    if (StringFromGUID2(ServerClassId, wide, 128) == 0 ||
        WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr) == 0)
        text[0] = '\0';
}

}  // namespace orv
