#pragma once
// Plays the frames of one GIF image on one canvas rectangle: waits out each frame's delay, follows
// the loop extension and the disposal methods, and reports through five events. A threaded painter
// waits on its own thread and does all drawing and every event on the main thread through
// synchronised calls; one without a thread runs the same loop inside its caller, pumping messages.
#include "imaging/gif/gif_types.h"
#include "platform/rtl/object.h"
#include "platform/rtl/thread.h"
#include "platform/rtl/wintypes.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

class TBitmap;
class TCanvas;
class TEvent;
class TGIFImage;
class TGIFSubImage;

class TGIFPainter : public TThread {
public:
    // Registers itself in the image's painters and in painterRef. Created suspended; a threaded
    // painter frees itself when it ends.
    TGIFPainter(TGIFPainter** painterRef, TGIFPaintOptions options, const RECT& rect, TCanvas& canvas,
                TGIFImage& image);
    ~TGIFPainter() override;
    std::string ClassName() const override { return "TGIFPainter"; }

    bool Threaded() const { return (options_ & gpThreaded) != 0; }
    TGIFPaintOptions Options() const { return options_; }
    TCanvas* Canvas() const { return canvas_; }
    const RECT& Rect() const { return rect_; }
    int AnimationSpeed() const { return animationSpeed_; }

    // Resumes a threaded painter.
    void Start();
    // Ends the animation soon; a waiting painter wakes at once.
    void Stop();
    // Runs the whole animation in the calling thread (painters without a thread), then cleans up.
    void Run();
    // Makes the running loop start over from the first frame.
    void SetRestart() { restart_ = true; }
    bool Painted() const { return painted_; }
    // The frame being played; -1 when not playing. OnFrameDone may move it.
    int ActiveImage() const { return activeImage_; }
    void SetActiveImage(int value) { activeImage_ = value; }
    int Disposal() const { return disposal_; }
    // The image tells its remaining painters that it is being destroyed.
    void ImageGone() { image_ = nullptr; }

    TNotifyEvent OnAnimationStart, OnFramePaint, OnFrameDone, OnAnimationLoop, OnAnimationEnd;

protected:
    void Execute() override;

private:
    // What the loop needs to know of a frame, read on the main thread.
    struct FrameFacts {
        bool Exists = false;
        bool Empty = true;
        int Disposal = 1;
        int Delay = 0;
        bool HasLoop = false;
        int Loops = 0;
    };

    void Animate();
    bool Stopped() const { return stopped_ || Terminated(); }
    // Runs on the main thread: synchronised for a threaded painter, directly otherwise.
    void OnMain(const std::function<void()>& call);
    void Fire(const TNotifyEvent& event);
    FrameFacts Inspect(int index);
    void Wait(int64_t& delay, uint32_t& startTime, int64_t& drift);
    void PumpWait(int64_t delay);
    void Paint();
    void PaintWithDisposal(TGIFSubImage& frame);
    void RestoreBackground(TGIFSubImage& frame);
    void CreateBuffers();
    void Cleanup();

    TGIFImage* image_;
    TCanvas* canvas_;
    RECT rect_;
    TGIFPaintOptions options_;
    int animationSpeed_;
    std::atomic<int> activeImage_{-1};
    int disposal_ = 1;
    int previousDisposal_ = 1;
    std::unique_ptr<TBitmap> backupBuffer_;
    std::unique_ptr<TBitmap> frameBuffer_;
    std::unique_ptr<TBitmap> background_;
    uint32_t backgroundColor_ = 0;
    HDC canvasHandle_ = nullptr;
    std::atomic<bool> restart_{false};
    std::atomic<bool> painted_{false};
    std::atomic<bool> stopped_{false};
    TGIFPainter** painterRef_;
    std::unique_ptr<TEvent> event_;
    bool cleanedUp_ = false;
};
