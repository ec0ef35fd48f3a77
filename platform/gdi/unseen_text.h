#pragma once
// Text for a process whose windows nobody can ever see (an unattended run without a display). Loading the
// first font (the font configuration and the font list) is about a fifth of such a run, and nothing it
// measures reaches a file: text gets plain figures from the font's height and is drawn as nothing.
namespace pw::gdi {

// Puts the figures in place of the installed toolkit's text for the rest of the process; image files
// still go to that toolkit. Call before any text is measured: fonts keep the figures they were made with.
void InstallUnseenText();

} // namespace pw::gdi
