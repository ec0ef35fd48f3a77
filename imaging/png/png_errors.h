#pragma once
// The PNG classes' failures: one exception class per kind of failure, each with its fixed text.
#include "platform/rtl/exception.h"

#include <string>

PW_DECLARE_EXCEPTION(EPngError, Exception)
PW_DECLARE_EXCEPTION(EPNGSizeExceeds, Exception)
PW_DECLARE_EXCEPTION(EPNGUnknownCriticalChunk, Exception)
PW_DECLARE_EXCEPTION(EPNGUnknownCompression, Exception)
PW_DECLARE_EXCEPTION(EPNGUnknownInterlace, Exception)
PW_DECLARE_EXCEPTION(EPngUnexpectedEnd, Exception)
PW_DECLARE_EXCEPTION(EPNGNoImageData, Exception)
PW_DECLARE_EXCEPTION(EPNGOutMemory, Exception)
PW_DECLARE_EXCEPTION(EPNGHeaderNotPresent, Exception)
PW_DECLARE_EXCEPTION(EPngInvalidCRC, Exception)
PW_DECLARE_EXCEPTION(EPngInvalidIHDR, Exception)
PW_DECLARE_EXCEPTION(EPNGMissingMultipleIDAT, Exception)
PW_DECLARE_EXCEPTION(EPNGZLIBError, Exception)
PW_DECLARE_EXCEPTION(EPNGInvalidPalette, Exception)
PW_DECLARE_EXCEPTION(EPNGInvalidFileHeader, Exception)
PW_DECLARE_EXCEPTION(EPNGIHDRNotFirst, Exception)

// Message texts, keyed by their resource ids.
namespace png_text {
inline constexpr const char* SizeExceeds = // 64976
    "This \"Portable Network Graphics\" image is not supported because either it's width or height exceeds "
    "the maximum size, which is 65535 pixels length.";
// Our own limit on width x height, so that a hostile header cannot claim gigabytes of pixel storage.
inline constexpr const char* PixelCountExceeds =
    "This \"Portable Network Graphics\" image is not supported because its width times its height exceeds "
    "the maximum of 268435456 pixels (16384 x 16384).";
inline constexpr const char* UnknownPalette = "There is no such palette entry."; // 64977
inline constexpr const char* UnknownCriticalChunk =                              // 64978
    "This \"Portable Network Graphics\" image contains an unknown critical part which could not be decoded.";
inline constexpr const char* UnknownCompression = // 64979
    "This \"Portable Network Graphics\" image is encoded with an unknown compression scheme which could not "
    "be "
    "decoded.";
inline constexpr const char* UnknownInterlace = // 64980
    "This \"Portable Network Graphics\" image uses an unknown interlace scheme which could not be decoded.";
inline constexpr const char* CannotAssignChunk = "The chunks must be compatible to be assigned."; // 64981
inline constexpr const char* UnexpectedEnd =                                                      // 64982
    "This \"Portable Network Graphics\" image is invalid because the decoder found an unexpected end of the "
    "file.";
inline constexpr const char* NoImageData = // 64983
    "This \"Portable Network Graphics\" image contains no data.";
inline constexpr const char* CannotChangeSize = // 64984
    "The \"Portable Network Graphics\" image can not be resize by changing width and height properties. Try "
    "assigning the image from a bitmap.";
inline constexpr const char* OutMemory = // 64985
    "Some operation could not be performed because the system is out of resources. Close some windows and "
    "try "
    "again.";
inline constexpr const char* HeaderNotPresent = // 64986
    "This operation is not valid because the current image contains no valid header.";
inline constexpr const char* InvalidCRC = // 65001
    "This \"Portable Network Graphics\" image is not valid because it contains invalid pieces of data (crc "
    "error)";
inline constexpr const char* InvalidIHDR = // 65002
    "The \"Portable Network Graphics\" image could not be loaded because one of its main piece of data "
    "(ihdr) "
    "might be corrupted";
inline constexpr const char* MissingMultipleIDAT = // 65003
    "This \"Portable Network Graphics\" image is invalid because it has missing image parts.";
inline constexpr const char* ZLIBError = // 65004
    "Could not decompress the image because it contains invalid compressed data.\r\n Description: ";
inline constexpr const char* InvalidPalette = // 65005
    "The \"Portable Network Graphics\" image contains an invalid palette.";
inline constexpr const char* InvalidFileHeader = // 65006
    "The file being readed is not a valid \"Portable Network Graphics\" image because it contains an invalid "
    "header. This file may be corruped, try obtaining it again.";
inline constexpr const char* IHDRNotFirst = // 65007
    "This \"Portable Network Graphics\" image is not supported or it might be invalid.\r\n(IHDR chunk is not "
    "the first)";
} // namespace png_text

// Every failure of the PNG classes leaves through here.
template <class E> [[noreturn]] void RaisePngError(const std::string& text) {
    throw E(text);
}
