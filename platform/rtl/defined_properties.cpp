#include "platform/rtl/defined_properties.h"

#include "platform/rtl/persistent.h"
#include "platform/rtl/reader.h"
#include "platform/rtl/scope_guard.h"
#include "platform/rtl/string_list.h"
#include "platform/rtl/writer.h"

namespace {

// A list of strings; an empty list is not stored.
void DefineStrings(TFiler& Filer, TStrings& Strings) {
    auto readData = [&Strings](TReader& Reader) {
        Reader.ReadListBegin();
        Strings.BeginUpdate();
        {
            const ThrowingScopeGuard endUpdate([&] { Strings.EndUpdate(); });
            Strings.Clear();
            while (!Reader.EndOfList())
                Strings.Add(Reader.ReadString());
        }
        Reader.ReadListEnd();
    };
    auto writeData = [&Strings](TWriter& Writer) {
        Writer.WriteListBegin();
        for (int i = 0; i < Strings.Count(); ++i)
            Writer.WriteString(Strings.Strings(i));
        Writer.WriteListEnd();
    };
    Filer.DefineProperty("Strings", readData, writeData, Strings.Count() > 0);
}

} // namespace

// A string list's lines come first, so that what a descendant stores about its lines finds them when
// it is read back.
void DefineStoredData(TFiler& Filer, TPersistent* Instance) {
    if (auto* strings = dynamic_cast<TStrings*>(Instance)) DefineStrings(Filer, *strings);
    Instance->DefineProperties(Filer);
}
