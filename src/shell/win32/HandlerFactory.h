#pragma once
#include <memory>

#include "shell/win32/FileHandler.h"

namespace orv {

// Picks the handler for a path: the first class, in a fixed order, whose extension
// table lists the path's extension.
class HandlerFactory {
public:
    static std::unique_ptr<FileHandler> CreateHandler(const char* path);
};

}  // namespace orv
