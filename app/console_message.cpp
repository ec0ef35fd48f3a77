#include "app/console_message.h"

#include "platform/rtl/terminal_text.h"

#include <ostream>

namespace mainwin {

void PrintMessage(std::ostream& Out, std::string_view Text) {
    Out << "pathweaver: " << EscapeControlCharacters(Text) << std::endl;
}

} // namespace mainwin
