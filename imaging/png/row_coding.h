#pragma once
// Scan-line work of the image data coder: the PNG filters, and the copiers between filtered-row samples and
// the header's pixel store, one per colour type and depth, chosen once per image.
#include <cstddef>
#include <cstdint>

enum TPngRowFilter : uint8_t { prfNone = 0, prfSub = 1, prfUp = 2, prfAverage = 3, prfPaeth = 4 };

// Undoes the filter named by filterType in place; an unknown type leaves the row as it is.
void UnfilterRow(uint8_t filterType, uint8_t* row, const uint8_t* previous, size_t count, size_t pixelStep);
// Writes raw filtered by `filter` (Sub, Up, Average or Paeth) into out.
void FilterRow(TPngRowFilter filter, const uint8_t* raw, const uint8_t* previous, uint8_t* out, size_t count,
               size_t pixelStep);
// How well a filtered row will compress: the positions from 2 on whose byte equals one of the two before.
size_t FilterScore(const uint8_t* row, size_t count);

// Copies `count` samples of a row into pixels x0, x0 + dx, ... of one bitmap row and its alpha row. The
// samples may be read up to kRowSlack bytes past their end.
inline constexpr size_t kRowSlack = 8;
using DecodeCopier = void (*)(const uint8_t* samples, uint32_t count, uint32_t x0, uint32_t dx, uint8_t* bits,
                              uint8_t* alpha, const uint8_t* gamma);
// Fills `samples` from pixels x0, x0 + dx, ... of one bitmap row and its alpha row.
using EncodeCopier = void (*)(const uint8_t* bits, const uint8_t* alpha, uint32_t count, uint32_t x0,
                              uint32_t dx, uint8_t* samples, const uint8_t* inverseGamma);

// Nothing for a colour type and depth the PNG format does not define. identityGamma: the gamma table
// changes nothing and may be skipped.
DecodeCopier SelectDecodeCopier(uint8_t colorType, uint8_t bitDepth, bool identityGamma);
EncodeCopier SelectEncodeCopier(uint8_t colorType, uint8_t bitDepth);
