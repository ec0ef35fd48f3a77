#pragma once
// The exception class of the GIF codec and the texts it raises and warns with.
#include "platform/graphics/graphics_errors.h"

PW_DECLARE_EXCEPTION(GIFException, EInvalidGraphic)

namespace gif_text {
inline constexpr const char* PrematureEnd = "Premature end of data";
inline constexpr const char* ColorTableOverflow = "Color table overflow";
inline constexpr const char* InvalidColorIndex = "Invalid color index";
inline constexpr const char* EmptyColorMap = "Color table is empty";
inline constexpr const char* UnsupportedVersion = "Unsupported GIF version";
inline constexpr const char* BadSignature = "Invalid GIF signature";
inline constexpr const char* BadScreenColors = "Invalid number of colors specified in Screen Descriptor";
inline constexpr const char* BadImageColors = "Invalid number of colors specified in Image Descriptor";
inline constexpr const char* UnknownExtension = "Unknown extension type";
inline constexpr const char* BadExtensionIntroducer = "Invalid extension introducer";
inline constexpr const char* ExtensionMismatch =
    "Internal error: Extension Instance does not match Extension Label";
inline constexpr const char* BadAppBlockSize = "Unsupported Application Extension block size";
inline constexpr const char* InvalidData = "Invalid GIF data";
inline constexpr const char* HeightTooSmall = "Image height too small for contained frames";
inline constexpr const char* WidthTooSmall = "Image width too small for contained frames";
inline constexpr const char* BadPixelCoordinates = "Invalid pixel coordinates";
inline constexpr const char* UnsupportedObject = "Object type not supported for operation";
inline constexpr const char* NoColorTable = "No global or local color table defined";
inline constexpr const char* CircularTable = "Circular decoder table entry";
inline constexpr const char* ColorNotInTable = "Color not in color table";
inline constexpr const char* InvalidStreamOperation = "Invalid stream operation";
inline constexpr const char* BadDimensions = "Invalid image dimensions";
inline constexpr const char* UnsupportedPixelFormat = "Unsupported PixelFormat";
inline constexpr const char* ImageEmpty = "Image is empty";
inline constexpr const char* BadReductionMethod = "Invalid reduction method";
inline constexpr const char* UnknownBlock = "Unknown GIF block type";
inline constexpr const char* BadTrailer = "Invalid Image trailer";
inline constexpr const char* ExceedsScreen = "Image exceeds Logical Screen size";
inline constexpr const char* BitBufferUnderrun = "Decoder bit buffer under-run";
inline constexpr const char* Loading = "Loading...";
inline constexpr const char* Saving = "Saving...";
inline constexpr const char* Copying = "Copying...";
inline constexpr const char* Converting = "Converting...";
inline constexpr const char* Optimizing = "Optimizing...";
inline constexpr const char* Rendering = "Rendering...";
inline constexpr const char* ClipboardFailed = "Failed to store GIF on clipboard";
inline constexpr const char* UnsupportedClipboardFormat = "Unsupported clipboard format";
inline constexpr const char* FormatName = "GIF Image";
} // namespace gif_text
