#pragma once
// Why an output was refused.
#include "platform/rtl/exception.h"

PW_DECLARE_EXCEPTION(ESiteMapOutputError, Exception)
