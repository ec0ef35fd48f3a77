#pragma once
// Exceptions of the graphics classes and the class library's texts for them.
#include "platform/rtl/exception.h"

PW_DECLARE_EXCEPTION(EInvalidGraphic, Exception)
PW_DECLARE_EXCEPTION(EInvalidGraphicOperation, Exception)
// libjpeg's own message text.
PW_DECLARE_EXCEPTION(EJPEG, EInvalidGraphic)
// The GDI could not make an object (e.g. a bitmap too large for it).
PW_DECLARE_EXCEPTION(EOutOfResources, EOutOfMemory)

namespace graphics_text {
inline constexpr const char* UnknownExtension = "Unknown picture file extension (.%s)";
inline constexpr const char* UnknownFormat = "Unsupported stream format";
inline constexpr const char* UnknownClipboardFormat = "Unsupported clipboard format";
inline constexpr const char* InvalidBitmap = "Bitmap image is not valid";
inline constexpr const char* InvalidIcon = "Icon image is not valid";
inline constexpr const char* InvalidMetafile = "Metafile is not valid";
inline constexpr const char* InvalidPixelFormat = "Invalid pixel format";
inline constexpr const char* ScanLine = "Scan line index out of range";
inline constexpr const char* ChangeJpegSize = "Cannot change the size of a JPEG image";
inline constexpr const char* ChangeIconSize = "Cannot change the size of an icon";
inline constexpr const char* NoCanvasHandle = "Canvas does not allow drawing";
inline constexpr const char* OutOfResources = "Out of system resources";
inline constexpr const char* InvalidImageSize = "Invalid image size";
inline constexpr const char* ImageIndexError = "Invalid ImageList Index";
inline constexpr const char* InvalidImageList = "Invalid ImageList";
inline constexpr const char* ReplaceImage = "Unable to Replace Image";
} // namespace graphics_text
