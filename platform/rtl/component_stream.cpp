#include "platform/rtl/component_stream.h"

#include "platform/rtl/reader.h"
#include "platform/rtl/writer.h"

void WriteComponent(TStream& Stream, TComponent* Instance) {
    TWriter writer(Stream);
    writer.WriteRootComponent(Instance);
}

TComponent* ReadComponent(TStream& Stream, TComponent* Instance) {
    TReader reader(Stream);
    return reader.ReadRootComponent(Instance);
}
