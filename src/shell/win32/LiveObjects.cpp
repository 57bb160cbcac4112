#include "shell/win32/LiveObjects.h"

#include <atomic>

namespace orv {
namespace {

std::atomic<int32_t> count{0};

}  // namespace

void LiveObjects::Add()
{
    ++count;
}

void LiveObjects::Remove()
{
    --count;
}

int32_t LiveObjects::Count()
{
    return count;
}

}  // namespace orv
