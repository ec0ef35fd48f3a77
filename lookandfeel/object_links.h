#pragma once
// Weak references: a link to an object whose Ref turns to nullptr when the object is freed, so code
// that runs user handlers can test afterwards whether the objects it works on still live.
#include <memory>

class TcxObjectLink {
public:
    // The object, until ClearObjectLinks is called for it.
    void* Ref = nullptr;
};

TcxObjectLink* AddObjectLink(void* Object);
void RemoveObjectLink(TcxObjectLink* Link);
// Called by the destructor of every object that links may refer to.
void ClearObjectLinks(void* Object);

struct TcxObjectLinkDeleter {
    void operator()(TcxObjectLink* Link) const { RemoveObjectLink(Link); }
};
// A link removed when it goes out of scope.
using TcxObjectLinkPtr = std::unique_ptr<TcxObjectLink, TcxObjectLinkDeleter>;
inline TcxObjectLinkPtr MakeObjectLink(void* Object) {
    return TcxObjectLinkPtr(AddObjectLink(Object));
}
