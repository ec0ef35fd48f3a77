#pragma once
// Text chunks: a keyword and a text, stored plain (tEXt) or deflated (zTXt).
#include "imaging/png/chunk.h"

#include <string>

class TChunktEXt : public TChunk {
public:
    explicit TChunktEXt(TPNGObject* owner) : TChunk(owner) { SetChunkType("tEXt"); }
    std::string ClassName() const override { return "TChunktEXt"; }

    void Assign(const TChunk& source) override;
    bool LoadFromStream(TStream& stream, const std::string& chunkType, uint32_t size) override;
    bool SaveToStream(TStream& stream) override;

    std::string Keyword;
    std::string Text;

protected:
    // The keyword ends at the first zero byte; without one the whole data is the keyword.
    void SplitKeyword();
};

class TChunkzTXt : public TChunktEXt {
public:
    explicit TChunkzTXt(TPNGObject* owner) : TChunktEXt(owner) { SetChunkType("zTXt"); }
    std::string ClassName() const override { return "TChunkzTXt"; }

    // A text that cannot be inflated (or inflates beyond the text limit) stays empty; nothing is raised.
    bool LoadFromStream(TStream& stream, const std::string& chunkType, uint32_t size) override;
    // False, with nothing written, when the text cannot be deflated.
    bool SaveToStream(TStream& stream) override;
};
