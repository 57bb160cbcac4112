#include "libpart/ModulFile.h"

#include <vector>

#include "plan/FieldConversion.h"
#include "preview/MetafileConverter.h"

namespace orv {
namespace {

constexpr uint32_t RecordSize = 89;
constexpr uint32_t LeadingSize = 4 + 2 * RecordSize;  // magic, variant, records A and B
constexpr uint16_t MetafileRecordType = 3;
constexpr uint16_t VariantOfRecord16 = 2;

// The stored metafile's head, then at least a metafile header (METAHEADER).
constexpr uint32_t MetafileHeadSize = 8;
constexpr uint32_t MetafileHeaderSize = 18;

struct Record {
    uint16_t type;
    uint32_t length;
    uint32_t start;
};

// Record C's types whose data begins with a version block.
bool IsVersionRecord(uint16_t type)
{
    return type == 0xD003 || type == 0xD004;
}

Record RecordAt(const uint8_t* bytes)
{
    return {Load16(bytes), Load32(bytes + 2), Load32(bytes + 6)};
}

// The enhanced-metafile bits of record A's metafile; empty when they cannot be had.
std::vector<uint8_t> ConvertStoredMetafile(File& file, const Record& stored)
{
    const MetafileConverter* converter = MetafileConverter::Current();
    if (converter == nullptr || uint64_t{stored.start} + stored.length > file.Size() ||
        !file.Seek(stored.start))
        return {};
    std::vector<uint8_t> bytes(stored.length);
    if (!file.ReadExactly(bytes.data(), stored.length))
        return {};
    MetafilePicture picture{static_cast<int16_t>(Load16(&bytes[0])),
                            static_cast<int16_t>(Load16(&bytes[2])),
                            static_cast<int16_t>(Load16(&bytes[4]))};
    return converter->ToEnhanced(picture, bytes.data() + MetafileHeadSize,
                                 stored.length - MetafileHeadSize);
}

}  // namespace

bool ModulFile::Load(const std::string& path)
{
    std::unique_ptr<File> file = OpenFile(path, File::Access::Read);
    return file && Read(*file);
}

bool ModulFile::Read(File& file)
{
    version = 0;
    release = 0;
    preview.Clear();
    uint8_t leading[LeadingSize];
    if (!file.Seek(0) || !file.ReadExactly(leading, LeadingSize) || Load16(leading) != Magic)
        return false;
    Record metafile = RecordAt(leading + 4);
    Record picture = RecordAt(leading + 4 + RecordSize);
    if (metafile.type != MetafileRecordType || metafile.length < MetafileHeadSize + MetafileHeaderSize)
        return false;
    if (Load16(leading + 2) == VariantOfRecord16)
        picture.type = PreviewKindRecord16;

    std::vector<uint8_t> enhanced;
    if (picture.type == PreviewKindRecord16 || picture.type == PreviewKindRecord18) {
        enhanced = ConvertStoredMetafile(file, metafile);
        if (enhanced.empty())
            return false;
        bool record16 = picture.type == PreviewKindRecord16;
        version = record16 ? 4160 : 4500;
        release = record16 ? 0 : 4;
    } else {
        ReadVersion(file);
    }
    return file.Seek(picture.start) &&
           preview.ReadBlock(file, picture.length, picture.type, enhanced.data(),
                             static_cast<uint32_t>(enhanced.size()));
}

// Record C follows record B. Its version block names version and release; when the
// block cannot be read, the record's type alone says 5.0.
void ModulFile::ReadVersion(File& file)
{
    uint8_t bytes[RecordSize];
    if (!file.ReadExactly(bytes, RecordSize))
        return;
    Record versionRecord = RecordAt(bytes);
    if (!IsVersionRecord(versionRecord.type) || !file.Seek(versionRecord.start))
        return;
    version = 5000;
    uint8_t block[8];
    if (!file.ReadExactly(block, sizeof block))
        return;
    release = static_cast<int16_t>(Load16(block + 2));
    version = static_cast<int32_t>(Load32(block + 4));
}

}  // namespace orv
