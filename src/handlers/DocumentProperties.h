#pragma once
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "handlers/Document.h"
#include "util/File.h"

namespace orv {

// One system property of a document, by its canonical name ("System.Title"), with its
// text in Windows characters. A list property keeps its items in one text, as
// JoinList joins them.
struct DocumentProperty {
    const char* name;
    std::string text;
};

// What the Details columns show of a document: what its pages show, under the system
// properties that mean the same, and the write-back of those the pages let the user
// edit, with the pages' own writers.
class DocumentProperties {
public:
    // Reads the document as Document::Read does; name's extension chooses the reader.
    bool Read(File& file, const std::string& name, std::string& error);

    // The properties the document has a text for, always in the same order.
    std::vector<DocumentProperty> Values() const;
    bool IsWritable(const std::string& property) const;
    // Keeps the text until Commit; false for a property that is not writable here.
    bool Set(const std::string& property, const std::string& text);
    // Writes every kept text into file, which holds the document as read, or none of
    // them: they are applied to a copy of its bytes and read back, and only when each
    // reads back as it was given do the bytes that changed go to the file.
    bool Commit(File& file, std::string& error);

    // The document holds a list in one text: items are split at ';' and lose the
    // blanks around them, empty ones dropped; they are joined with "; ". A list of
    // items without ';' or outer blanks comes back the same.
    static bool IsList(const std::string& property);
    static std::vector<std::string> SplitList(const std::string& text);
    static std::string JoinList(const std::vector<std::string>& items);

private:
    std::string name;
    std::unique_ptr<Document> document;
    std::map<std::string, std::string> pending;
};

}  // namespace orv
