#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "util/File.h"

namespace orv {

// The six project texts as a page shows them: CR LF line ends, Windows characters.
struct ProjectTexts {
    std::string project;
    std::string author;
    std::string revision;
    std::string drawingPrefix;
    std::string keywords;
    std::string comments;

    bool operator==(const ProjectTexts&) const = default;
};

// The project information record of plans and layout books. In the file it is a
// ProjectDataFile of 2048 bytes: the record's own platform code at 0 ('WW':
// little-endian and Windows characters; anything else: big-endian and Mac
// characters), numbers at 2 and 4, then six 128-byte zero-terminated texts with lone
// CR line ends from offset 16; everything from 784 on is carried through untouched.
class ProjectData {
public:
    static constexpr uint32_t RecordSize = 2048;
    // Texts hold at most this many characters in the file, a line end counting as one.
    static constexpr size_t MaxTextLength = 127;

    // Reads a record at the file's position; false, with the texts as they were, on a
    // short read.
    bool ReadFrom(File& file);

    // Whether the texts a page shows, each taken to the first 127 characters the
    // record would store, differ from the record.
    bool IsChanged(const ProjectTexts& shown) const;

    // Rewrites the record at recordOffset with the shown texts: line ends
    // back to lone CRs, each text cut to 127 stored characters, Mac characters for a
    // record that is not 'WW'. Every other stored byte keeps its value, and the file
    // is written once, with the whole record, after everything else succeeded. On
    // success the texts are what a new read gives, which for a page's texts is what
    // it shows; on failure, also when the offset cannot be reached, they stay as
    // they were.
    bool WriteBack(File& file, uint64_t recordOffset, const ProjectTexts& shown);
    // The same for the record of the block at blockOffset, when that block carries
    // the tag and is long enough for a whole record; false otherwise.
    bool WriteBackInBlock(File& file, uint64_t blockOffset, uint16_t tag, bool bigEndian,
                          const ProjectTexts& shown);

    const ProjectTexts& Texts() const { return texts; }

private:
    ProjectTexts texts;
};

}  // namespace orv
