#pragma once
// The reason text of an HTTP status code.
#include <string>

// "Unknown Error" for a code the table does not hold.
std::string HttpStatusText(int Code);
