#pragma once
// The data a persistent stores beside its published properties, as the reader and writer see it:
// the object's own DefineProperties, and a string list's lines as "Strings".
class TFiler;
class TPersistent;

void DefineStoredData(TFiler& Filer, TPersistent* Instance);
