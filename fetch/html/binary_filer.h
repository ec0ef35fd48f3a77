#pragma once
// A compact tagged binary form of integers, characters and strings over a buffered stream.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/rtl/object.h"

class TStream;

class TDIFiler : public TObject {
public:
    TDIFiler(TStream& stream, uint32_t bufferSize);
    std::string ClassName() const override { return "TDIFiler"; }
    TStream& Stream() const { return stream_; }

protected:
    TStream& stream_;
    std::unique_ptr<uint8_t[]> buffer_;
    uint32_t bufferSize_;
    uint32_t bufferPos_ = 0;
    uint32_t bufferEnd_ = 0;
};

class TDIReader : public TDIFiler {
public:
    using TDIFiler::TDIFiler;
    std::string ClassName() const override { return "TDIReader"; }
};

class TDIWriter : public TDIFiler {
public:
    using TDIFiler::TDIFiler;
    std::string ClassName() const override { return "TDIWriter"; }
};

class TDIBinaryReader : public TDIReader {
public:
    using TDIReader::TDIReader;
    std::string ClassName() const override { return "TDIBinaryReader"; }

    void ReadBuffer(void* data, size_t count);
    uint32_t ReadCardinal();
    int32_t ReadInteger();
    char16_t ReadWideChar();
    uint8_t ReadByte();
    std::u16string ReadWideString();
    // Bytes still to be read: the rest of the buffer and of the stream.
    int64_t BytesLeft();

private:
    uint8_t NextByte();
    uint64_t ReadPayload(unsigned count);
};

class TDIBinaryWriter : public TDIWriter {
public:
    using TDIWriter::TDIWriter;
    // Flushes what is buffered; a failure here is lost, so call FlushBuffer to see it.
    ~TDIBinaryWriter() override;
    std::string ClassName() const override { return "TDIBinaryWriter"; }

    void WriteCardinal(uint32_t value);
    void WriteInteger(int32_t value);
    void WriteWideChar(char16_t ch);
    void WriteByte(uint8_t b);
    void WriteWideString(const std::u16string& s);
    void WriteBuffer(const void* data, size_t count);
    void FlushBuffer();

private:
    void PutByte(uint8_t b);
    void PutBytes(uint64_t value, unsigned count);
};
