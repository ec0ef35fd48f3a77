#pragma once
// Pictures stored in the program as resources of the type "PNG".
#include <string>

class TPicture;

// Loads the resource into the picture, which keeps its own copy. EResNotFound when there is no such
// resource, the PNG exceptions when it cannot be decoded; never answers false.
bool LoadPNGResource(const std::string& resourceName, TPicture& picture);
