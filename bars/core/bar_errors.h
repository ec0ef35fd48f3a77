#pragma once
// The toolbar library's failures; their texts are the library's resource strings.
#include "platform/rtl/exception.h"

PW_DECLARE_EXCEPTION(EdxBarError, Exception)
