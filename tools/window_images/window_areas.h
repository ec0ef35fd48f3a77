#pragma once
// Where the exit window's picture shows its three buttons; the window's clickable areas take the same
// places.
namespace window_images {

struct Area {
    int Left, Top, Width, Height;
};

inline constexpr Area kSubmitArea{250, 226, 200, 32};
inline constexpr Area kWebHostingArea{25, 284, 200, 32};
inline constexpr Area kBuyNowArea{253, 284, 200, 32};

} // namespace window_images
