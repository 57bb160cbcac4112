#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "DocumentWrites.h"
#include "ModulBuilder.h"
#include "libpart/ModulFile.h"
#include "preview/MetafileConverter.h"
#include "preview/PictureHeaders.h"
#include "util/MemoryFile.h"

namespace orv {
namespace {

using namespace test;

// Converts by giving back bits of its own (none: the metafile cannot be converted) and
// tells what it was given, the bits by their first word; installed while it lives.
class FakeConverter : public MetafileConverter {
public:
    explicit FakeConverter(std::vector<uint8_t> result) : result(std::move(result)) { SetCurrent(this); }
    ~FakeConverter() override { SetCurrent(nullptr); }

    std::vector<uint8_t> ToEnhanced(const MetafilePicture& picture, const uint8_t* bits,
                                    uint32_t length) const override
    {
        given << " given " << picture.mappingMode << " " << picture.horizontalExtent << " "
              << picture.verticalExtent << " " << length << " " << (length >= 2 ? bits[0] | bits[1] << 8 : -1);
        return result;
    }

    std::vector<uint8_t> result;
    mutable std::ostringstream given;
};

// Where a preview came from: "none", "stored" as the file holds it, "converted" from the
// bits the converter gave back after a header with the record's flags, or "other".
std::string Preview(const PreviewPicture& preview, const std::vector<uint8_t>& converted)
{
    const uint8_t* block = preview.GetBlock();
    if (block == nullptr)
        return "none";
    const std::vector<uint8_t> bytes(block, block + preview.GetBlockSize());
    if (bytes == GreyPreview())
        return "stored";
    bool fromConverter = bytes.size() == sizeof(PreviewHeader) + converted.size() &&
                         std::equal(converted.begin(), converted.end(), bytes.end() - converted.size());
    return fromConverter && LoadStruct<PreviewHeader>(block).flags == 0x24 ? "converted" : "other";
}

// Each case is read into the module the case before it filled.
TEST(ModulRead, VersionReleaseAndPreviewFollowTheRecordTypes)
{
    const std::vector<uint8_t> bits = test::WindowsMetafileBits(), converted(40, 0xE3);
    const std::vector<uint8_t> bytes17(17, 0x11), bytes18(18, 0x11);
    const test::ModulRecord a = {3, StoredMetafile()}, shortA = {3, StoredMetafile(8, 1, 1, bytes17)};
    const test::ModulRecord stored = {0xD005, GreyPreview()}, record16 = {0xD001, PreviewRecord(0xD001)};
    const test::ModulRecord record18 = {0xD002, PreviewRecord(0xD002)};
    const std::vector<uint8_t> whole = Module(a, stored);
    enum Converter { None, Converts, Fails };
    const std::tuple<std::vector<uint8_t>, Converter, std::string> cases[] = {
        {Module({3, StoredMetafile(-8, 2000, -1000)}, record18), Converts,
         "4500 4 converted given -8 2000 -1000 48 1"},
        {Module(a, stored, {}, 0, 50001), Converts, "fails 0 0 none"},
        {Module(a, record16, {0xD003, VersionBlock(7, 7000)}), Converts,
         "4160 0 converted given 8 2000 1000 48 1"},
        {{whole.begin(), whole.begin() + 181}, Converts, "fails 0 0 none"},
        // Record A's metafile ends the file, after record B's data.
        {Module({3, {}, 56, 287}, {0xD001, test::ByteWriter().Bytes(record16.data).Bytes(a.data).Data(), 16, 271}),
         Converts, "4160 0 converted given 8 2000 1000 48 1"},
        {Module(a, {0xD003, PreviewRecord(0xD001)}, {}, 2), Converts, "4160 0 converted given 8 2000 1000 48 1"},
        {Module({2, StoredMetafile()}, stored), Converts, "fails 0 0 none"},
        {Module({3, StoredMetafile(8, 1, 1, bytes18)}, record16), Converts, "4160 0 converted given 8 1 1 18 4369"},
        // Record A shorter than its head and a metafile header; record C of other types.
        {Module(shortA, stored), Converts, "fails 0 0 none"},
        {Module(a, stored, {0xD006, VersionBlock(3, 6000)}), Converts, "0 0 stored"},
        {Module(a, stored, {0xD003, VersionBlock(0, 6010)}), Converts, "6010 0 stored"},
        // Record C with and without its version block; record A longer than the file.
        {Module(a, stored, {0xD004, VersionBlock(-2, 5100)}), Converts, "5100 -2 stored"},
        {Module(a, stored, {0xD004}), Converts, "5000 0 stored"},
        {Module({3, bits, 0xFFFFFFFFu}, record18), Converts, "fails 0 0 none"},
        {Module(a, record18), None, "fails 0 0 none"},
        {Module(a, record18), Fails, "fails 0 0 none given 8 2000 1000 48 1"},
        // A preview of no known kind, longer than the file.
        {Module(a, {0xD003, PreviewRecord(0xD001)}), Converts, "fails 0 0 none"},
        {Module(a, {0xD005, GreyPreview(), 0x7FFFFFFFu}), Converts, "fails 0 0 none"},
    };
    ModulFile module;
    for (const auto& [bytes, kind, expected] : cases) {
        std::optional<FakeConverter> converter;
        if (kind != None)
            converter.emplace(kind == Converts ? converted : std::vector<uint8_t>{});
        MemoryFile file(bytes);
        std::ostringstream loaded;
        loaded << (module.Read(file) ? "" : "fails ") << module.version << " " << module.release << " "
               << Preview(module.preview, converted) << (converter ? converter->given.str() : "");
        EXPECT_EQ(loaded.str(), expected);
    }
}

}  // namespace
}  // namespace orv
