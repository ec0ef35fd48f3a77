#pragma once
// Replacements of the texts the libraries show: a text with a registered replacement is shown as that.
#include <string>

// The replacement of Text when one is registered for exactly that text, else Text.
std::string LocalizeString(const std::string& Text);
void AddLocalizedString(const std::string& Source, const std::string& Replacement);
void ClearLocalizedStrings();
