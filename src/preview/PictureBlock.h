#pragma once
#include <cstdint>
#include <memory>

namespace orv {

// Hands a picture block's memory back (see NewPictureBlock).
struct PictureBlockRelease {
    void operator()(uint8_t* block) const;
};

// The memory of a preview picture's block.
using PictureBlock = std::unique_ptr<uint8_t[], PictureBlockRelease>;

// At least size bytes for a picture block, uninitialised, or null when there is no
// memory. The last block released, up to a megabyte, is kept for the next request
// it can hold: a folder of icons reads one document after another, and with glibc's
// defaults freeing a 120 KB picture gives the top of the heap back to the system,
// so that every document would take it back as fresh pages, at two system calls and
// a page fault a page.
PictureBlock NewPictureBlock(uint32_t size);

}  // namespace orv
