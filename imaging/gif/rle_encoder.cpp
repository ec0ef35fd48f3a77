#include "imaging/gif/rle_encoder.h"

void TRLEEncoder::Clear() {
    outBump_ = outBumpInit_;
    outClear_ = outClearInit_;
    outCount_ = 0;
    tableMax_ = 0;
    TGIFEncoder::Clear();
    bitSize_ = initialBitSize_;
}

void TRLEEncoder::OutputPlain(int code) {
    clearFlag_ = false;
    Output(code);
    ++outCount_;
    if (outCount_ >= outBump_) {
        ++bitSize_;
        outBump_ += 1 << (bitSize_ - 1);
    }
    if (outCount_ >= outClear_) Clear();
}

void TRLEEncoder::ResetOutClear() {
    outClear_ = outClearInit_;
    if (outCount_ >= outClear_) Clear();
}

int TRLEEncoder::TriangleCount(int count, int n) {
    int cost = 0;
    const int perRep = n * (n + 1) / 2;
    while (count >= perRep) {
        cost += n;
        count -= perRep;
    }
    if (count > 0) {
        // Integer square root by Newton's iteration, then adjusted to the triangle bound.
        int r = count;
        if (r > 1) {
            int x = count;
            r = (x + 1) / 2;
            while (r < x) {
                x = r;
                r = (x + count / x) / 2;
            }
            r = x;
        }
        while (r * (r + 1) >= 2 * count)
            --r;
        while (r * (r + 1) < 2 * count)
            ++r;
        cost += r;
    }
    return cost;
}

void TRLEEncoder::FlushFromClear(int count) {
    MaxOutClear();
    tablePixel_ = runPixel_;
    int n = 1;
    while (count > 0) {
        if (n == 1) {
            tableMax_ = 1;
            OutputPlain(runPixel_);
            --count;
        } else if (count >= n) {
            tableMax_ = n;
            OutputPlain(baseCode_ + n - 2);
            count -= n;
        } else if (count == 1) {
            ++tableMax_;
            OutputPlain(runPixel_);
            count = 0;
        } else {
            ++tableMax_;
            OutputPlain(baseCode_ + count - 2);
            count = 0;
        }
        n = outCount_ == 0 ? 1 : n + 1;
    }
    ResetOutClear();
}

void TRLEEncoder::FlushClearOrRepeat(int count) {
    if (1 + TriangleCount(count, maxOutCodes_) < count) {
        Clear();
        FlushFromClear(count);
    } else {
        for (; count > 0; --count)
            OutputPlain(runPixel_);
    }
}

void TRLEEncoder::FlushWithTable(int count) {
    int reps = count / tableMax_;
    int left = count % tableMax_;
    int repLeft = left > 0 ? 1 : 0;
    if (outCount_ + reps + repLeft > maxOutCodes_) {
        reps = maxOutCodes_ - outCount_;
        left = count - reps * tableMax_;
        repLeft = 1 + TriangleCount(left, maxOutCodes_);
    }
    if (1 + TriangleCount(count, maxOutCodes_) < reps + repLeft) {
        Clear();
        FlushFromClear(count);
        return;
    }
    MaxOutClear();
    for (; reps > 0; --reps)
        OutputPlain(baseCode_ + tableMax_ - 2);
    if (left > 0) {
        if (clearFlag_)
            FlushFromClear(left);
        else if (left == 1)
            OutputPlain(runPixel_);
        else
            OutputPlain(baseCode_ + left - 2);
    }
    ResetOutClear();
}

void TRLEEncoder::FlushRun(int count) {
    if (count == 1)
        OutputPlain(runPixel_);
    else if (clearFlag_)
        FlushFromClear(count);
    else if (tableMax_ < 2 || tablePixel_ != runPixel_)
        FlushClearOrRepeat(count);
    else
        FlushWithTable(count);
}

void TRLEEncoder::DoCompress() {
    outBumpInit_ = clearCode_ - 1;
    outClearInit_ = bitsPerPixel_ <= 3 ? 9 : outBumpInit_ - 1;
    maxOutCodes_ = 4095 - baseCode_;
    Clear();
    runPixel_ = -1;
    int runCount = 0;
    do {
        int c = CurrentPixel();
        if (runCount > 0 && c != runPixel_) {
            FlushRun(runCount);
            runCount = 0;
        }
        if (c == runPixel_) {
            ++runCount;
        } else {
            runPixel_ = c;
            runCount = 1;
        }
    } while (NextPixel());
    FlushRun(runCount);
}
