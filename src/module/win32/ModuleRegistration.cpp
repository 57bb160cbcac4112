#include "module/win32/ModuleRegistration.h"

#include "module/win32/ModuleState.h"
#include "registry/Registration.h"
#include "shell/ExtensionTables.h"

namespace orv {
namespace {

// The types whose documents carry a preview picture, which thumbnails show.
const ExtensionTable* const picturedTypes[] = {&PlanExtensions, &LibPartExtensions, &ModulExtensions};

// The class ids in registry form.
struct ClassIdStrings {
    char server[128];
    char thumbnail[128];
    char preview[128];
    char properties[128];

    ClassIdStrings()
    {
        MakeClassIdString(ServerClassId, server);
        MakeClassIdString(ThumbnailClassId, thumbnail);
        MakeClassIdString(PreviewClassId, preview);
        MakeClassIdString(PropertyClassId, properties);
    }
    ShellHandlerClasses Handlers(bool module32 = sizeof(void*) == 4) const
    {
        return {thumbnail, preview, properties, module32};
    }
};

}  // namespace

void RegisterModule(RegistryAccess& registry, const char* modulePath, bool module32)
{
    const ClassIdStrings ids;
    RegisterServer(registry, modulePath, ids.server, AllExtensionTables);
    RegisterShellHandlers(registry, modulePath, ids.Handlers(module32), picturedTypes, AllExtensionTables);
}

void UnregisterModule(RegistryAccess& registry)
{
    const ClassIdStrings ids;
    UnregisterServer(registry, ids.server, AllExtensionTables);
    UnregisterShellHandlers(registry, ids.Handlers(), picturedTypes, AllExtensionTables);
}

}  // namespace orv
