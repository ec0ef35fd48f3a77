#pragma once
// A component as a whole stream: the class library's TStream.WriteComponent and ReadComponent.
class TStream;
class TComponent;

// Writes Instance, its properties and its children at the stream's position.
void WriteComponent(TStream& Stream, TComponent* Instance);
// Reads a component into Instance (or a new one of the stored, registered class when Instance is nullptr)
// and answers it. EReadError for damaged data; the stream is left just after the component.
TComponent* ReadComponent(TStream& Stream, TComponent* Instance);
