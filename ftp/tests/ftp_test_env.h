#pragma once
// The FTP tests run with the toolkit's application on the GUI thread, as the program does, so that
// socket events reach windows while the loop waits inside the toolkit.
#include <functional>

namespace ftptest {

// Turns the message loop until done() holds or timeoutMs pass; false on the timeout.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 10000);
// Lets messages arrive for a while (for checks that something did not happen).
void PumpFor(int ms);

} // namespace ftptest
