#pragma once
// The FTP tests run with the toolkit's application on the GUI thread, as the program does, so that
// socket events reach windows while the loop waits inside the toolkit.
#include "tests/support/gui/pump.h"
#include "tests/support/wait.h"

namespace ftptest {

using testsupport::Pump;
using testsupport::PumpFor;
using testsupport::PumpUntil;
using testsupport::WaitUntil;

} // namespace ftptest
