#pragma once
// Run-length compression of a frame's pixels into codes that any GIF decoder expands. It keeps
// no string table of its own: it tracks only which run lengths the decoder's table now holds.
#include "imaging/gif/gif_writer.h"

class TRLEEncoder : public TGIFEncoder {
public:
    std::string ClassName() const override { return "TRLEEncoder"; }

protected:
    void Clear() override;
    void DoCompress() override;

private:
    void OutputPlain(int code);
    void MaxOutClear() { outClear_ = maxOutCodes_; }
    void ResetOutClear();
    static int TriangleCount(int count, int n);
    void FlushFromClear(int count);
    void FlushClearOrRepeat(int count);
    void FlushWithTable(int count);
    void FlushRun(int count);

    int maxOutCodes_ = 0;
    int outBumpInit_ = 0, outClearInit_ = 0;
    int outBump_ = 0, outClear_ = 0, outCount_ = 0;
    int runPixel_ = -1, tablePixel_ = 0, tableMax_ = 0;
};
