#pragma once
#include <memory>

#include "shell/win32/FileHandler.h"

namespace orv {

class ShellExtension;

// Ties a handler to its object. Page procedures reach the handler through it, the
// release callback the object. The object and each of its pages share it, so that
// binding the object to another document leaves open pages their own.
struct HandlerLink {
    ShellExtension* owner;  // not counted by itself: each page holds its own reference
    std::unique_ptr<FileHandler> handler;
};

// The parameter of every property sheet page: the page's share of its link, deleted
// by the page's release callback.
using PageLink = std::shared_ptr<HandlerLink>;

}  // namespace orv
