#include "QdlBuilder.h"

namespace orv::test {

std::string NameLine(const std::string& name, const std::string& end, const std::string& prefix)
{
    return prefix + name + end;
}

std::string ScriptLines(const std::vector<std::string>& lines, const std::vector<std::string>& ends)
{
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i)
        text += lines[i] + ends[i % ends.size()];
    return text;
}

std::vector<uint8_t> Stored(const std::string& text)
{
    return {text.begin(), text.end()};
}

}  // namespace orv::test
