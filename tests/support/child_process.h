#pragma once
// Test bodies that run in a child process of the test program: one that must run apart from the others
// (it ends the application for good), one that needs other command-line arguments, or one that must run
// as an ordinary user while the tests run as root.
#include <string>
#include <vector>

namespace testsupport {

// Runs test "Suite.Name" of this program in a child process with the extra arguments, as the user nobody
// when `unprivileged` and this process runs as root; waits up to kWaitLimit, then kills it. Answers the
// child's exit status; -1 when it could not start, ran no test or did not end by itself. An unprivileged
// child becomes nobody once it runs and works in a fresh folder of its own, so it does not need to reach
// the folder the tests were started from. `skipped`, when given, receives why the child skipped the test
// (empty when it ran it).
int RunTestInChild(const std::string& test, const std::vector<std::string>& args = {},
                   bool unprivileged = false, std::string* skipped = nullptr);

// Whether this process is a child started by RunTestInChild to run that test.
bool InChildFor(const std::string& test);

// Whether this process became an ordinary user for RunTestInChild.
bool ChildIsUnprivileged();

// Words to put before a child program's command ("setpriv ... --") so that file modes bind it: as root it
// runs without the capabilities that pass over them, and a folder of mode 000 is closed to it as to a
// user, while it keeps root's ownership of what the tests made (and can reach a program in a tree closed
// to other users). Empty when the tests do not run as root.
std::string FileModesBindingCommand();

} // namespace testsupport
