// The fuzz targets (FuzzTargets.cpp), each taking one input.
#pragma once

#include <cstddef>
#include <cstdint>

namespace orv::fuzz {

void FuzzGifDecoder(const uint8_t* data, size_t size);
void FuzzLzwDefinition(const uint8_t* data, size_t size);
void FuzzPreviewPicture(const uint8_t* data, size_t size);
void FuzzPlanFile(const uint8_t* data, size_t size);
void FuzzProjectData(const uint8_t* data, size_t size);
void FuzzSfoldFile(const uint8_t* data, size_t size);
void FuzzLibPartFile(const uint8_t* data, size_t size);
void FuzzQdlFile(const uint8_t* data, size_t size);
void FuzzModulFile(const uint8_t* data, size_t size);

}  // namespace orv::fuzz
