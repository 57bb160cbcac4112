// QdlFile::Read over an in-memory object script, then the first-line rewrite composed
// into an empty file (once more into one whose writes stop part-way). The input is
// the script; the edits come from its end (DocumentChecks.h).
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "DocumentChecks.h"
#include "libpart/QdlFile.h"

namespace {

using namespace orv;
using namespace orv::fuzz;

std::string Body(const QdlFile& script)
{
    const char* text = script.scriptText.GetText();
    return text ? std::string(text + script.bodyOffset, script.scriptText.GetLength() - script.bodyOffset)
                : std::string();
}

// The rewrite as the file is stored: the prefix and the new name, then everything from
// the first line end on.
std::vector<uint8_t> Renamed(const std::vector<uint8_t>& bytes, const std::string& newName)
{
    auto rest = std::find_if(bytes.begin() + QdlFile::PrefixLength, bytes.end(),
                             [](uint8_t c) { return c == '\r' || c == '\n'; });
    std::vector<uint8_t> renamed(QdlFile::DocumentNamePrefix,
                                 QdlFile::DocumentNamePrefix + QdlFile::PrefixLength);
    renamed.insert(renamed.end(), newName.begin(), newName.end());
    renamed.insert(renamed.end(), rest, bytes.end());
    return renamed;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    EditSource edits(data, size);
    const std::vector<uint8_t> bytes(data, data + size);

    MemoryFile file(bytes);
    QdlFile script;
    const bool read = script.Read(file);
    const std::string& name = script.documentName;
    Expect(name.size() <= QdlFile::MaxNameLength &&
               name.find_first_of(std::string("\r\n\0", 3)) == std::string::npos,
           "a name is one line of at most 31 characters");
    Expect(read || name.empty(), "a script that does not read has no name");
    if (read) {
        Expect(size >= QdlFile::PrefixLength &&
                   std::memcmp(data, QdlFile::DocumentNamePrefix, QdlFile::PrefixLength) == 0,
               "a script that reads begins with the prefix");
        Expect(script.bodyOffset <= script.scriptText.GetLength(), "the body lies inside the text");
        Expect(HasCrLfLineEnds(std::string(script.scriptText.GetText(), script.scriptText.GetLength())),
               "the text has CR LF line ends");
    }

    const std::string newName = edits.Text(40);
    const bool renames = read && script.lineEndKind == LineEndsWindows && !newName.empty() &&
                         newName.size() <= QdlFile::MaxNameLength &&
                         newName.find_first_of("\r\n") == std::string::npos && newName != name;
    const std::string oldName = name;
    const std::string oldBody = Body(script);
    const uint32_t oldBodyOffset = script.bodyOffset;
    if (renames) {
        const std::vector<uint8_t> expected = Renamed(bytes, newName);
        MemoryFile source(bytes), failing;
        failing.LimitWrites(edits.Byte() % expected.size());
        Expect(!script.WriteDocumentName(source, failing, newName), "a rewrite that stops part-way fails");
        Expect(script.documentName == oldName, "a failed rewrite keeps the name");
        Expect(source.Bytes() == bytes, "a rewrite never writes to its source");
    }

    MemoryFile source(bytes), target;
    Expect(script.WriteDocumentName(source, target, newName) == renames,
           "a script is renamed exactly when it has CR LF line ends and the name is new and fits");
    Expect(source.Bytes() == bytes, "a rewrite never writes to its source");
    if (!renames) {
        Expect(target.Size() == 0 && script.documentName == oldName, "a refused rewrite writes nothing");
        return 0;
    }
    Expect(target.Bytes() == Renamed(bytes, newName), "a rewrite keeps every byte after the first line");
    QdlFile reread;
    Expect(reread.Read(target), "a renamed script reads");
    Expect(reread.documentName == newName && script.documentName == newName,
           "a renamed script reads with the new name");
    // Without a line end there is no body: the page shows the whole text.
    Expect(oldBodyOffset == 0 ? reread.bodyOffset == 0 : Body(reread) == oldBody,
           "a rewrite keeps the body");
    return 0;
}
