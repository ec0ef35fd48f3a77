#pragma once
// Opening documents and web addresses with the desktop's handler, with the failure said to the user.
#include <string>

// Opens FileOrAddress; a failure, now or when the handler ends, is shown in a message box.
void OpenDocument(const std::string& FileOrAddress);
// The exit window's opening of an address: one of 256 characters or more is refused with a message and
// answers 2; otherwise the address is opened as OpenDocument does, answering the shell's result.
int OpenAddress(const std::string& Address);
