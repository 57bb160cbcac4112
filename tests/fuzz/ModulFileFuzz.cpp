// ModulFile::Read over an in-memory module, with a metafile converter that gives back
// bits of its own or fails, as the input's last byte says.
#include <vector>

#include "DocumentChecks.h"
#include "libpart/ModulFile.h"
#include "preview/MetafileConverter.h"

using namespace orv;
using namespace orv::fuzz;

namespace {

class FuzzConverter : public MetafileConverter {
public:
    std::vector<uint8_t> ToEnhanced(const MetafilePicture&, const uint8_t* bits, uint32_t length) const override
    {
        Expect(length >= 18, "a converted metafile holds at least its header");
        calls++;
        std::vector<uint8_t> copy(bits, bits + length);
        return converts ? std::vector<uint8_t>(length % 97 + 1, copy.back()) : std::vector<uint8_t>{};
    }

    bool converts = true;
    mutable int calls = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    EditSource edits(data, size);
    FuzzConverter converter;
    converter.converts = edits.Byte() % 4 != 0;
    MetafileConverter::SetCurrent(&converter);
    MemoryFile file(data, size);
    ModulFile module;
    const bool read = module.Read(file);
    MetafileConverter::SetCurrent(nullptr);

    ExpectPreview(module.preview);
    Expect(read || module.preview.GetBlock() == nullptr, "a module that does not read has no preview");
    Expect(converter.calls <= 1, "the stored metafile is converted at most once");
    Expect(!read || converter.calls == 0 || (module.version == 4160 && module.release == 0) ||
               (module.version == 4500 && module.release == 4),
           "a preview from the stored metafile comes with version 4.16 or 4.5");
    return 0;
}
