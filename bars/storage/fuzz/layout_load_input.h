#pragma once
// One fuzzing input for the two layout readers, shared by the fuzz target and the test that replays the
// kept inputs: the first byte chooses the store (even: an INI file, odd: the registry's file) and the
// rest is that file's content. The layout is read into a shown form with two toolbars, a few commands
// and a named menu. False when a reader breaks a promise: a bar with a style that is no style, a link
// with a paint style or a set of changes beyond theirs, or a floating bar off the screen.
#include <cstddef>
#include <cstdint>
#include <string>

namespace layout_fuzz {

// The bar library and its windows, once per program (the application runs by then).
void StartBars();
// Folder: where the input's store file is written (it exists).
bool LoadLayoutInput(const uint8_t* Data, size_t Size, const std::string& Folder);

} // namespace layout_fuzz
