#include "preview/MetafileConverter.h"

namespace orv {
namespace {

const MetafileConverter* current = nullptr;

}  // namespace

const MetafileConverter* MetafileConverter::Current()
{
    return current;
}

void MetafileConverter::SetCurrent(const MetafileConverter* converter)
{
    current = converter;
}

}  // namespace orv
