#include "shell/win32/HandlerFactory.h"

namespace orv {

std::unique_ptr<FileHandler> HandlerFactory::CreateHandler(const char* path) const
{
    for (HandlerMaker make : classes) {
        std::unique_ptr<FileHandler> handler(make());
        if (handler && handler->Claims(path))
            return handler;
    }
    return nullptr;
}

}  // namespace orv
