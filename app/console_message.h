#pragma once
// Messages for the terminal that started the program: "pathweaver: " and the text on one line, its
// control characters shown escaped, so that no name inside a message can steer the terminal.
#include <iosfwd>
#include <string_view>

namespace mainwin {

void PrintMessage(std::ostream& Out, std::string_view Text);

} // namespace mainwin
