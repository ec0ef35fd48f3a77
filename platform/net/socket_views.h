#pragma once
// Typed views of the messages the Winsock-like layer posts: a select event names its socket (a serial
// number) with the event and its error; a lookup names its task with the error.
#include "platform/gui/message_views.h"
#include "platform/net/winsock.h"

struct TWMAsyncSelect : MessageView {
    using MessageView::MessageView;
    winsock::SOCKET Socket() const { return static_cast<winsock::SOCKET>(W()); }
    WORD SelectEvent() const { return winsock::WSAGETSELECTEVENT(L()); }
    WORD SelectError() const { return winsock::WSAGETSELECTERROR(L()); }
};

struct TWMAsyncLookup : MessageView {
    using MessageView::MessageView;
    winsock::TaskHandle Task() const { return static_cast<winsock::TaskHandle>(W()); }
    WORD Error() const { return winsock::WSAGETASYNCERROR(L()); }
};
