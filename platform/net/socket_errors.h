#pragma once
// The texts of Winsock error codes and the exception of the socket layer.
#include "platform/rtl/exception.h"

#include <string>

PW_DECLARE_EXCEPTION(ESocketException, Exception)

// "Not a WinSock error" for a code without a text of its own.
std::string WinsockErrorText(int code);
