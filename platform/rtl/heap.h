#pragma once
// The process's heap as the system sees it.

namespace pw::rtl {

// Hands the memory that was freed back to the system where the allocator keeps it for later use: after
// a large piece of work has freed its own data (a crawl's list of a million addresses), so that what
// comes next is not counted on top of it.
void ReturnFreedMemory();

} // namespace pw::rtl
