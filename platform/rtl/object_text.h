#pragma once
// The text form of the component stream ("object Name: TClass", "Prop = value", "end"), as forms are
// shown and edited, converted from and to the binary form.
#include "platform/rtl/exception.h"

class TStream;

PW_DECLARE_EXCEPTION(EParserError, Exception)

// Converts one binary component stream (from its signature on); EReadError for damaged input.
void ObjectBinaryToText(TStream& Input, TStream& Output);
// Converts text to one binary component stream; EParserError "<what> on line <n>" for bad text.
void ObjectTextToBinary(TStream& Input, TStream& Output);
