#include "shell/win32/HandlerFactory.h"

#include <new>

#include "libpart/win32/InfoHandler.h"
#include "libpart/win32/InfoScriptHandler.h"
#include "plan/win32/PlanHandler.h"
#include "plan/win32/SfoldHandler.h"

namespace orv {
namespace {

template <typename Handler>
FileHandler* Make()
{
    return new (std::nothrow) Handler;
}

// The order in which classes are asked; construction does no file or registry
// work, so asking every class is cheap.
constexpr FileHandler* (*handlerClasses[])() = {
    Make<PlanHandler>,
    Make<SfoldHandler>,
    Make<InfoHandler>,
    Make<InfoScriptHandler>,
};

}  // namespace

std::unique_ptr<FileHandler> HandlerFactory::CreateHandler(const char* path)
{
    for (auto make : handlerClasses) {
        std::unique_ptr<FileHandler> handler(make());
        if (handler && handler->Claims(path))
            return handler;
    }
    return nullptr;
}

}  // namespace orv
