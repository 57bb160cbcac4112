#include "module/win32/ModuleState.h"

#include <objbase.h>

#include "shell/win32/LiveObjects.h"

namespace orv {

ModuleState moduleState;

bool ModuleState::CanUnload() const
{
    return LiveObjects::Count() == 0 && lockCount == 0;
}

void MakeClassIdString(REFCLSID classId, char (&text)[128])
{
    wchar_t wide[128];
    text[0] = '\0';
    if (StringFromGUID2(classId, wide, 128) == 0 ||
        WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr) == 0)
        text[0] = '\0';
}

}  // namespace orv
