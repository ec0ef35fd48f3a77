#pragma once
// What a site map run shows while it goes, and when: the run calls these at the points where a window
// changes what it shows. The defaults show nothing, so a run nobody watches needs no window.
#include <string>

struct TSiteMapNode;
struct TSiteMapResult;

class TSiteMapRunView {
public:
    virtual ~TSiteMapRunView() = default;

    // A gathering starts: nothing shown may still describe the previous run; the run is busy until
    // GatheringEnded.
    virtual void GatheringStarting() {}
    // The log of the files found is emptied.
    virtual void ClearLog() {}
    // The scan of the local folder (Local) or the crawl of the web site begins.
    virtual void GatheringBegins(bool) {}
    // The folder or start address being searched, the file or address being taken, and the counts.
    virtual void ShowLookingIn(const std::string&) {}
    virtual void ShowFileFound(const std::string&) {}
    virtual void ShowFileCount(const std::string&) {}
    virtual void ShowTotalFiles(const std::string&) {}
    // Lines of the log, "\r\n" between them, many at a time.
    virtual void AppendLog(const std::string&) {}
    // The lines the log holds.
    virtual int LogLineCount() const { return 0; }
    // The crawl was cancelled; it ends at its next step.
    virtual void CrawlCancelled() {}
    // The gathering has ended with FileCount files in the tree; the run is no longer busy.
    virtual void GatheringEnded(int) {}

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
