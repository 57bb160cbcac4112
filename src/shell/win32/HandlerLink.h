#pragma once
#include <memory>

#include "shell/win32/FileHandler.h"

namespace orv {

class ShellExtension;

// Ties a handler to its object. It is the parameter of every property sheet page:
// page procedures reach the handler through it, the release callback the object.
struct HandlerLink {
    ShellExtension* owner;  // not counted by itself: each page holds its own reference
    std::unique_ptr<FileHandler> handler;
};

}  // namespace orv
