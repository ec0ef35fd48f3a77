#pragma once
// What a site map run shows while it goes, and when: the run calls these at the points where a window
// changes what it shows. The defaults show nothing, so a run nobody watches needs no window.
#include <string>

struct TSiteMapNode;
struct TSiteMapResult;

class TSiteMapRunView {
public:
    virtual ~TSiteMapRunView() = default;

    // The site map is about to be written from Parts + 1 entries; the run is busy until OutputWritten.
    virtual void OutputStarting(int) {}
    // The entry at Index is being written; called only when the message loop is about to turn.
    virtual void OutputProgress(int, const TSiteMapNode&) {}
    // Writing has ended, whatever its outcome; the run is no longer busy.
    virtual void OutputWritten(int) {}
    // The files are written; the view may take the page over (the run keeps no copy).
    virtual void OutputSucceeded(TSiteMapResult&) {}
    // The profile was saved after the output and may have a new name.
    virtual void ProfileSaved() {}
    // The output step is over and everything it does after writing is done.
    virtual void OutputCompleted() {}
    // The files on disk are not what the run meant to write; Reason says why.
    virtual void OutputFailed(const std::string&) {}

    // An upload of the files written has ended.
    virtual void UploadEnded(bool) {}
};
