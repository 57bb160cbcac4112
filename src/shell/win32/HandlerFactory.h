#pragma once
#include <memory>
#include <span>

#include "shell/win32/FileHandler.h"

namespace orv {

// Makes an unclaimed handler of one class; null when memory is short.
using HandlerMaker = FileHandler* (*)();

// Picks the handler for a path: the first class, in the order it is given, whose
// extension table lists the path's extension.
class HandlerFactory {
public:
    explicit constexpr HandlerFactory(std::span<const HandlerMaker> classes) : classes(classes) {}

    std::unique_ptr<FileHandler> CreateHandler(const char* path) const;

private:
    std::span<const HandlerMaker> classes;
};

}  // namespace orv
