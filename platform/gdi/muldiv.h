#pragma once
// Win32 MulDiv: number * numerator / denominator in 64 bits, rounded to nearest with halves away from zero;
// -1 when the denominator is zero or the result does not fit in an int.
int MulDiv(int number, int numerator, int denominator);
