// QdlFile::Read over an in-memory object script, then the first-line rewrite composed
// into an empty file. The input is the script; the edits come from its end
// (DocumentChecks.h).
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "DocumentChecks.h"
#include "libpart/QdlFile.h"

using namespace orv;
using namespace orv::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    EditSource edits(data, size);
    const std::vector<uint8_t> bytes(data, data + size);
    MemoryFile file(bytes);
    QdlFile script;
    const bool read = script.Read(file);
    const std::string name = script.documentName;
    Expect(name.size() <= QdlFile::MaxNameLength &&
               name.find_first_of(std::string("\r\n\0", 3)) == std::string::npos,
           "a name is one line of at most 31 characters");
    Expect(read || name.empty(), "a script that does not read has no name");
    const char* text = script.scriptText.GetText();
    const char* prefix = QdlFile::DocumentNamePrefix;
    Expect(!read || (size >= QdlFile::PrefixLength && std::memcmp(data, prefix, QdlFile::PrefixLength) == 0 &&
                     script.bodyOffset <= script.scriptText.GetLength() &&
                     HasCrLfLineEnds(std::string(text, script.scriptText.GetLength()))),
           "a script that reads begins with the prefix and has its body inside its CR LF text");

    const std::string newName = edits.Text(40);
    const bool renames = read && script.lineEndKind == LineEndsWindows && !newName.empty() &&
                         newName.size() <= QdlFile::MaxNameLength &&
                         newName.find_first_of("\r\n") == std::string::npos && newName != name;
    auto body = [](const QdlFile& read) {
        const char* text = read.scriptText.GetText();
        return text ? std::string(text + read.bodyOffset, text + read.scriptText.GetLength()) : std::string();
    };
    const std::string oldBody = body(script);
    // The prefix and the new name, then everything from the first line end on.
    std::vector<uint8_t> expected(prefix, prefix + QdlFile::PrefixLength);
    expected.insert(expected.end(), newName.begin(), newName.end());
    expected.insert(expected.end(), std::find_if(bytes.begin() + std::min<size_t>(size, QdlFile::PrefixLength),
                                                 bytes.end(), [](uint8_t c) { return c == '\r' || c == '\n'; }),
                    bytes.end());
    MemoryFile source(bytes), target;
    Expect(script.WriteDocumentName(source, target, newName) == renames,
           "a script is renamed exactly when it has CR LF line ends and the name is new and fits");
    Expect(source.Bytes() == bytes, "a rewrite never writes to its source");
    if (!renames) {
        Expect(target.Size() == 0 && script.documentName == name, "a refused rewrite writes nothing");
        return 0;
    }
    Expect(target.Bytes() == expected, "a rewrite keeps every byte after the first line");
    QdlFile reread;
    Expect(reread.Read(target) && reread.documentName == newName && script.documentName == newName,
           "a renamed script reads with the new name");
    // Without a line end there is no body: the page shows the whole text.
    Expect(script.bodyOffset == 0 ? reread.bodyOffset == 0 : body(reread) == oldBody,
           "a rewrite keeps the body");
    return 0;
}
