#pragma once
// Pictures stored in the program as resources of the type "GIF".
#include <string>

class TPicture;

// Loads the resource into the picture, which keeps its own copy, and makes every GIF image from then
// on paint its animation straight onto the canvas (gpDirectPaint joins the default paint options).
// EResNotFound when there is no such resource, GIFException when it cannot be decoded; never false.
bool LoadGIFResource(const std::string& resourceName, TPicture& picture);
