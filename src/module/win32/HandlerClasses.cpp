#include "module/win32/HandlerClasses.h"

#include <new>

#include "libpart/win32/InfoHandler.h"
#include "libpart/win32/InfoScriptHandler.h"
#include "libpart/win32/LibPartHandler.h"
#include "libpart/win32/ModulHandler.h"
#include "libpart/win32/QdlHandler.h"
#include "plan/win32/PlanHandler.h"
#include "plan/win32/SfoldHandler.h"

namespace orv {
namespace {

template <typename Handler>
FileHandler* Make()
{
    return new (std::nothrow) Handler;
}

// Construction does no file or registry work, so asking every class is cheap.
constexpr HandlerMaker handlerClasses[] = {
    Make<PlanHandler>,
    Make<LibPartHandler>,
    Make<QdlHandler>,
    Make<ModulHandler>,
    Make<SfoldHandler>,
    Make<InfoHandler>,
    Make<InfoScriptHandler>,
};

constexpr HandlerFactory handlers{handlerClasses};

}  // namespace

const HandlerFactory& ModuleHandlers()
{
    return handlers;
}

}  // namespace orv
