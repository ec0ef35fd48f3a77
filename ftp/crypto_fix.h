#pragma once
// The scrambling of stored FTP and proxy passwords. It keeps a password from being read at a glance in
// the registry store; it is not encryption: the key is built into the program.
#include <string>

// The pass phrase every stored password is scrambled under.
extern const char* const kPasswordPassPhrase;

// Scrambles or unscrambles Text under PassPhrase. The function is its own inverse and ignores Mode
// (0 unscramble, 1 scramble), so a value passed through it once too often, as the proxy settings'
// load does, comes back clear. It keeps the length, never yields a NUL byte and maps "" to "".
std::string CryptoFix(const std::string& Text, const std::string& PassPhrase, int Mode);

std::string ScramblePassword(const std::string& Text);
std::string UnscramblePassword(const std::string& Text);
