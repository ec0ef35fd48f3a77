#pragma once
// Whole-file writes that never leave a half-written user file behind: the bytes go to a temporary
// file in the target's folder, are flushed to disk, and the temporary is renamed over the target.
// An existing target keeps its permission bits (and, where allowed, its owner); a symbolic link is
// followed so that the file it names is replaced, not the link, and one that leads nowhere (to nothing,
// in a loop) is left as it is, with the reason in the error. Any failure removes the temporary,
// leaves the previous file as it was and raises EFCreateError "Cannot create file <target>".
// A writer that is killed leaves its temporary ("." + name + "." + 8 letters or digits + ".tmp"); the next
// write of the same target removes it, so at most one is ever left per target.
#include "platform/rtl/stream.h"

#include <cstdint>
#include <string>
#include <string_view>

// newFileMode applies (less the umask) only when the target does not exist yet.
void WriteFileAtomically(const std::string& fileName, std::string_view bytes, unsigned newFileMode = 0666);
// The same, unless fileName is a regular file (or a link to one) that holds exactly bytes already: then
// nothing is written and false is returned. For files the program rewrites on its own (its settings, a
// profile after a run), whose flush to disk would otherwise cost every run the same wait for nothing.
bool WriteFileAtomicallyIfChanged(const std::string& fileName, std::string_view bytes,
                                  unsigned newFileMode = 0666);

// A write stream onto a temporary file that replaces fileName on Commit(); destroyed uncommitted, it
// discards what was written. Reads and seeks work as on any file stream.
class TAtomicFileStream : public TStream {
public:
    explicit TAtomicFileStream(const std::string& fileName, unsigned newFileMode = 0666);
    ~TAtomicFileStream() override;
    std::string ClassName() const override { return "TAtomicFileStream"; }

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    void SetSize(int64_t size) override;

    // The replacement gets exactly this mode, whatever the file had before and whatever the umask:
    // for files that hold secrets. Raises EFCreateError when the mode cannot be set.
    void SetMode(unsigned mode);

    // Flushes what was written to disk now, so that a Commit later has little left to wait for.
    void Sync();
    // Flushes and renames over the target; afterwards the stream accepts no more writes.
    void Commit();
    // Drops the temporary now; the target stays as it was.
    void Discard();

    const std::string& FileName() const { return fileName_; }
    bool Committed() const { return committed_; }

private:
    [[noreturn]] void Fail(const std::string& reason = {});

    std::string fileName_;   // as the caller named it, for messages
    std::string targetPath_; // the file actually replaced (a link's destination)
    std::string tempPath_;
    int fd_ = -1;
    bool failed_ = false;
    bool committed_ = false;
};
