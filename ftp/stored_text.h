#pragma once
// Text values of the server profiles' and the proxy's keys. A value stored as another type (a number,
// binary data: by a hand edit or another program) reads as a missing one would, and a line naming it
// joins the warnings, so that what holds it can still be shown, used, fixed and deleted.
#include <string>
#include <vector>

class TRegistry;

namespace ftpprofile {

// True when Name holds text or is not there.
bool HoldsText(TRegistry& Reg, const std::string& Name);
// Adds "Owner: the value Name is stored as a number, not as text; Instead." to Warnings (when given).
void WarnNotText(TRegistry& Reg, const std::string& Name, const std::string& Owner,
                 const std::string& Instead, std::vector<std::string>* Warnings);
// The text of Name; empty, and warned with Instead, when it holds another type.
std::string ReadText(TRegistry& Reg, const std::string& Name, const std::string& Owner,
                     const std::string& Instead, std::vector<std::string>* Warnings);
// The warnings of one load as the one message a person reads: on one line, as the terminal shows it.
std::string WarningsText(const std::vector<std::string>& Warnings);

} // namespace ftpprofile
