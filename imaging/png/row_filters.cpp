#include "imaging/png/row_coding.h"

#include "imaging/png/png_utils.h"

void UnfilterRow(uint8_t filterType, uint8_t* row, const uint8_t* previous, size_t count, size_t pixelStep) {
    const size_t lead = pixelStep < count ? pixelStep : count;
    switch (filterType) {
    case prfSub:
        for (size_t i = pixelStep; i < count; ++i)
            row[i] = uint8_t(row[i] + row[i - pixelStep]);
        break;
    case prfUp:
        for (size_t i = 0; i < count; ++i)
            row[i] = uint8_t(row[i] + previous[i]);
        break;
    case prfAverage:
        for (size_t i = 0; i < lead; ++i)
            row[i] = uint8_t(row[i] + (previous[i] >> 1));
        for (size_t i = lead; i < count; ++i)
            row[i] = uint8_t(row[i] + ((unsigned(row[i - pixelStep]) + previous[i]) >> 1));
        break;
    case prfPaeth:
        for (size_t i = 0; i < lead; ++i)
            row[i] = uint8_t(row[i] + previous[i]);
        for (size_t i = lead; i < count; ++i)
            row[i] =
                uint8_t(row[i] + PaethPredictor(row[i - pixelStep], previous[i], previous[i - pixelStep]));
        break;
    default:
        break;
    }
}

void FilterRow(TPngRowFilter filter, const uint8_t* raw, const uint8_t* previous, uint8_t* out, size_t count,
               size_t pixelStep) {
    const size_t lead = pixelStep < count ? pixelStep : count;
    switch (filter) {
    case prfSub:
        for (size_t i = 0; i < lead; ++i)
            out[i] = raw[i];
        for (size_t i = lead; i < count; ++i)
            out[i] = uint8_t(raw[i] - raw[i - pixelStep]);
        break;
    case prfUp:
        for (size_t i = 0; i < count; ++i)
            out[i] = uint8_t(raw[i] - previous[i]);
        break;
    case prfAverage:
        for (size_t i = 0; i < lead; ++i)
            out[i] = uint8_t(raw[i] - (previous[i] >> 1));
        for (size_t i = lead; i < count; ++i)
            out[i] = uint8_t(raw[i] - ((unsigned(raw[i - pixelStep]) + previous[i]) >> 1));
        break;
    case prfPaeth:
        for (size_t i = 0; i < lead; ++i)
            out[i] = uint8_t(raw[i] - previous[i]);
        for (size_t i = lead; i < count; ++i)
            out[i] =
                uint8_t(raw[i] - PaethPredictor(raw[i - pixelStep], previous[i], previous[i - pixelStep]));
        break;
    default:
        for (size_t i = 0; i < count; ++i)
            out[i] = raw[i];
        break;
    }
}
