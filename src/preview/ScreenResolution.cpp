#include "preview/ScreenResolution.h"

namespace orv {
namespace {

const ScreenResolution* current = nullptr;

}  // namespace

const ScreenResolution* ScreenResolution::Current()
{
    return current;
}

void ScreenResolution::SetCurrent(const ScreenResolution* source)
{
    current = source;
}

}  // namespace orv
