#pragma once
// Option sets, enumerations and event types shared by the GIF codec's classes.
#include <cstdint>
#include <functional>
#include <string>

class TObject;

using TGIFPaintOptions = uint16_t;
inline constexpr TGIFPaintOptions gpThreaded = 1;
inline constexpr TGIFPaintOptions gpTransparent = 2;
inline constexpr TGIFPaintOptions gpAnimate = 4;
inline constexpr TGIFPaintOptions gpLoop = 8;
inline constexpr TGIFPaintOptions gpLoopForever = 16;
inline constexpr TGIFPaintOptions gpCheckCanvas = 32;
inline constexpr TGIFPaintOptions gpDirectPaint = 64;
inline constexpr TGIFPaintOptions gpClearOnLoop = 128;
inline constexpr TGIFPaintOptions gpTile = 256;
inline constexpr TGIFPaintOptions gpWebPalette = 512;
inline constexpr TGIFPaintOptions gpWebPaletteOnLowColor = 1024;

enum TGIFCompression : uint8_t { gcLZW = 0, gcRLE = 1 };

enum TColorReductionMethod : uint8_t {
    crNone,
    crWindows20,
    crWindowsHalftone,
    crGray4,
    crMonochrome,
    crGray256,
    crWeb216,
    crOctree,
    crOctreeWindows,
    crCustomPalette
};

enum TDitherMethod : uint8_t {
    dtNearest,
    dtFloydSteinberg,
    dtStucki,
    dtSierra,
    dtJaJuNi,
    dtSteveArche,
    dtBurkes
};

using TGIFOptimizeOptions = uint8_t;
inline constexpr TGIFOptimizeOptions ooCropTransparent = 1;
inline constexpr TGIFOptimizeOptions ooMatchPrevious = 2;
inline constexpr TGIFOptimizeOptions ooCleanup = 4;
inline constexpr TGIFOptimizeOptions ooColorMaps = 8;
inline constexpr TGIFOptimizeOptions ooReduceColors = 16;
inline constexpr TGIFOptimizeOptions ooAll = 31;

enum class TGIFProgressStage { Starting, Running, Ending };

using TGIFWarning = std::function<void(TObject* Sender, int Severity, const std::string& Message)>;
using TGIFProgressEvent = std::function<void(TObject* Sender, TGIFProgressStage Stage, int Percent,
                                             bool RedrawNow, const std::string& Message)>;

// The unit's defaults; every new image copies them. The application may change them before
// creating images, on the GUI thread only.
inline TGIFPaintOptions DefaultPaintOptions = 0x060F;
inline TColorReductionMethod DefaultReductionMethod = crWeb216;
inline int DefaultReductionBits = 8;
inline TDitherMethod DefaultDitherMode = dtNearest;
inline TGIFCompression DefaultCompression = gcLZW;
inline int DefaultPainterPriority = 3;
inline int DefaultAnimationSpeed = 100;
inline bool OptimizeOnSave = false;
inline bool RedrawWhileLoading = false;
