#include "imaging/gif/gif_painter.h"

#include "imaging/gif/animation_timing.h"
#include "imaging/gif/extensions.h"
#include "imaging/gif/frame_render.h"
#include "imaging/gif/gif_image.h"
#include "imaging/gif/sub_image.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_defs.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/syscolors.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include "platform/gui/message_loop.h"
#include "platform/rtl/scope_guard.h"
#include "platform/rtl/sync.h"

#include <algorithm>
#include <mutex>
#include <set>

namespace {

COLORREF ToColorRef(uint32_t argbOrColorRef) {
    return static_cast<COLORREF>(argbOrColorRef & 0x00FFFFFF);
}

} // namespace

TGIFPainter::TGIFPainter(TGIFPainter** painterRef, TGIFPaintOptions options, const RECT& rect,
                         TCanvas& canvas, TGIFImage& image)
    : TThread(true), image_(&image), canvas_(&canvas), rect_(rect), options_(options),
      animationSpeed_(std::max(0, image.AnimationSpeed())), painterRef_(painterRef) {
    // Stop sets it, ending the wait for the next frame at once (on the painter's thread or in the loop
    // that plays on the caller's).
    event_ = std::make_unique<TEvent>(false, false);
    OnAnimationStart = image.OnAnimationStart;
    OnFramePaint = image.OnFramePaint;
    OnFrameDone = image.OnFrameDone;
    OnAnimationLoop = image.OnAnimationLoop;
    OnAnimationEnd = image.OnAnimationEnd;
    if (Threaded()) {
        SetFreeOnTerminate(true);
        OnTerminate = [this](TObject*) { Cleanup(); };
    }
    CreateBuffers();
    if (painterRef_) *painterRef_ = this;
}

TGIFPainter::~TGIFPainter() {
    Cleanup();
}

void TGIFPainter::CreateBuffers() {
    TGIFImage& image = *image_;
    if (image.BackgroundColor() != clNoneColor)
        backgroundColor_ = ToColorRef(image.BackgroundColor());
    else if (image.Header().ColorMap().Count() == 0)
        backgroundColor_ = GetSysColor(COLOR_WINDOW);
    else
        backgroundColor_ = image.GetBackgroundColor();

    std::set<int> disposals;
    for (int i = 0; i < image.Images().Count(); ++i) {
        TGIFExtensionList& ext = image.Images()[i]->Extensions();
        for (int k = 0; k < ext.Count(); ++k)
            if (auto* gce = dynamic_cast<TGIFGraphicControlExtension*>(ext[k]))
                if (gce->Disposal() < 8) disposals.insert(gce->Disposal());
    }
    if (options_ & gpClearOnLoop) disposals.insert(2);

    const int w = rect_.right - rect_.left, h = rect_.bottom - rect_.top;
    const RECT whole{0, 0, w, h};
    if (disposals.count(2) && (options_ & gpTransparent)) {
        background_ = std::make_unique<TBitmap>(w, h);
        background_->Canvas().CopyRect(whole, *canvas_, rect_);
    }
    if (disposals.count(2) || disposals.count(3)) {
        for (auto* buffer : {&backupBuffer_, &frameBuffer_}) {
            *buffer = std::make_unique<TBitmap>(w, h);
            TCanvas& c = (*buffer)->Canvas();
            c.SetCopyMode(cmSrcCopy);
            c.Brush().SetColor(static_cast<TColor>(backgroundColor_));
            c.Brush().SetStyle(bsSolid);
        }
        backupBuffer_->Canvas().CopyRect(whole, *canvas_, rect_);
    }
}

void TGIFPainter::Start() {
    if (Threaded()) Resume();
}

void TGIFPainter::Stop() {
    stopped_ = true;
    Terminate();
    if (event_) event_->SetEvent();
    // A thread that never ran must still run its end handler.
    if (Threaded() && Suspended()) Resume();
}

void TGIFPainter::Run() {
    const ScopeGuard cleanup([this] { Cleanup(); });
    Animate();
}

void TGIFPainter::Execute() {
    try {
        Animate();
    } catch (...) {
        // A canvas that cannot be drawn on any more ends the animation.
        stopped_ = true;
    }
}

void TGIFPainter::OnMain(const std::function<void()>& call) {
    if (Threaded())
        Synchronize(call);
    else
        call();
}

void TGIFPainter::Fire(const TNotifyEvent& event) {
    if (!event || Stopped()) return;
    OnMain([&] {
        if (!Stopped()) event(this);
    });
}

TGIFPainter::FrameFacts TGIFPainter::Inspect(int index) {
    FrameFacts facts;
    OnMain([&] {
        if (!image_ || index < 0 || index >= image_->Images().Count()) return;
        TGIFSubImage& frame = *image_->Images()[index];
        facts.Exists = true;
        facts.Empty = frame.Empty();
        facts.Delay = gif::FrameDelay(frame, Threaded());
        TGIFExtensionList& ext = frame.Extensions();
        for (int k = 0; k < ext.Count(); ++k) {
            if (auto* gce = dynamic_cast<TGIFGraphicControlExtension*>(ext[k]))
                facts.Disposal = gce->Disposal();
            if (auto* loop = dynamic_cast<TGIFAppExtNSLoop*>(ext[k]); loop && !facts.HasLoop) {
                facts.HasLoop = true;
                facts.Loops = loop->Loops;
            }
        }
    });
    return facts;
}

void TGIFPainter::Animate() {
    if (options_ & gpCheckCanvas) OnMain([&] { canvasHandle_ = canvas_->Handle(); });
    restart_ = true;
    while (restart_ && !Stopped()) {
        activeImage_ = 0;
        Fire(OnAnimationStart);
        painted_ = false;
        restart_ = false;
        int loopCount = 1, loopPoint = 0;
        bool loopSeen = false;
        int64_t delay = Threaded() ? 0 : 1;
        previousDisposal_ = 1;
        uint32_t startTime = GetTickCount();
        int64_t drift = 0;
        bool again;
        do {
            activeImage_ = loopPoint;
            if (painted_) Fire(OnAnimationLoop);
            int shown = 0;
            while (!Stopped() && !restart_) {
                const FrameFacts facts = Inspect(activeImage_);
                if (!facts.Exists || facts.Empty) break;
                Wait(delay, startTime, drift);
                if (Stopped()) break;
                Fire(OnFramePaint);
                if (Stopped()) break;
                disposal_ = facts.Disposal;
                if (facts.HasLoop && !loopSeen) {
                    loopSeen = true;
                    loopCount = facts.Loops;
                    loopPoint = activeImage_;
                    if (Threaded() && (facts.Loops == 0 || (options_ & gpLoopForever))) loopCount = -1;
                }
                OnMain([&] { Paint(); });
                ++shown;
                previousDisposal_ = disposal_;
                if (Stopped()) break;
                delay = facts.Delay;
                const int before = activeImage_;
                Fire(OnFrameDone);
                if (Stopped()) break;
                if (activeImage_ == before) ++activeImage_;
                if (!(options_ & gpAnimate)) break;
            }
            if (loopCount > 0) --loopCount;
            // A pass that showed nothing would repeat without ever waiting.
            again = shown > 0 && (options_ & gpAnimate) && (options_ & gpLoop) &&
                    (loopCount != 0 || (options_ & gpLoopForever)) && !Stopped() && !restart_;
        } while (again);
    }
    activeImage_ = -1;
    Fire(OnAnimationEnd);
}

void TGIFPainter::Wait(int64_t& delay, uint32_t& startTime, int64_t& drift) {
    if (delay <= 0) return;
    const uint32_t now = GetTickCount();
    if (animationSpeed_ > 0) {
        delay = gif::ScaledDelay(static_cast<int>(delay), static_cast<uint32_t>(now - startTime), drift,
                                 animationSpeed_);
        drift = delay;
    } else {
        delay = Threaded() ? -1 : 12000;
    }
    startTime = now;
    if (!Threaded()) {
        PumpWait(std::max<int64_t>(1, delay));
        return;
    }
    if (delay <= 0 && animationSpeed_ != 0) return;
    const uint32_t timeout =
        delay < 0 ? INFINITE : static_cast<uint32_t>(std::min<int64_t>(delay, 0x7FFFFFFF));
    if (event_->WaitFor(timeout) == wrSignaled) {
        drift = 0;
        startTime = GetTickCount();
    }
}

void TGIFPainter::PumpWait(int64_t delay) {
    const uint32_t start = GetTickCount();
    while (!Stopped() && !restart_) {
        const int64_t left = delay - static_cast<int64_t>(GetTickCount() - start);
        if (left <= 0) break;
        // Sleeps until a message comes, Stop sets the event or the frame's time is up.
        HANDLE stop = event_.get();
        MsgWaitForMultipleObjects(stop ? 1 : 0, &stop, FALSE_,
                                  static_cast<DWORD>(std::min<int64_t>(left, 0x7FFFFFFF)), QS_ALLINPUT);
        MSG msg;
        while (!Stopped() && PeekMessage(msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                // The application's own loop must still see it.
                RepostQuit(msg);
                Stop();
                break;
            }
            TranslateMessage(msg);
            DispatchMessage(msg);
        }
        if (IsMainThread()) CheckSynchronize(0);
    }
}

void TGIFPainter::Paint() {
    if (!image_) {
        Stop();
        return;
    }
    const int index = activeImage_;
    if (index < 0 || index >= image_->Images().Count()) return;
    TGIFSubImage& frame = *image_->Images()[index];
    if ((options_ & gpCheckCanvas) && GetObjectType(canvasHandle_) != OBJ_DC) {
        Stop();
        return;
    }
    if (backupBuffer_) {
        PaintWithDisposal(frame);
    } else {
        frame.Draw(*canvas_, rect_, (options_ & gpTransparent) != 0, (options_ & gpTile) != 0);
        painted_ = true;
    }
    image_->PaintersChanged();
}

void TGIFPainter::PaintWithDisposal(TGIFSubImage& frame) {
    const bool clearFirst = (options_ & gpClearOnLoop) && activeImage_ == 0;
    const RECT whole{0, 0, rect_.right - rect_.left, rect_.bottom - rect_.top};
    TCanvas* target = nullptr;
    RECT targetRect = whole;
    TBitmap* buffer = nullptr;
    if (disposal_ <= 2) {
        buffer = backupBuffer_.get();
    } else if (disposal_ == 3 && previousDisposal_ <= 1) {
        // The backup keeps the state before this frame.
        target = canvas_;
        targetRect = rect_;
    } else if (disposal_ == 3 && previousDisposal_ <= 3) {
        frameBuffer_->Canvas().CopyRect(whole, backupBuffer_->Canvas(), whole);
        buffer = frameBuffer_.get();
    }
    // Disposal values 4 to 7 draw nothing.
    if (buffer) target = &buffer->Canvas();
    if (clearFirst) RestoreBackground(frame);
    if (target) {
        frame.Draw(*target, targetRect, (options_ & gpTransparent) != 0, (options_ & gpTile) != 0);
        if (buffer) {
            canvas_->SetCopyMode(cmSrcCopy);
            canvas_->CopyRect(rect_, buffer->Canvas(), whole);
        }
    }
    if (disposal_ == 2) RestoreBackground(frame);
    painted_ = true;
}

void TGIFPainter::RestoreBackground(TGIFSubImage& frame) {
    TGIFImage& image = *image_;
    TCanvas& backup = backupBuffer_->Canvas();
    const RECT whole{0, 0, rect_.right - rect_.left, rect_.bottom - rect_.top};
    const bool tile = (options_ & gpTile) != 0;
    std::vector<RECT> cells;
    if (tile)
        cells = gif::TileCells(frame, whole, image.Width(), image.Height());
    else
        cells.push_back(frame.ScaleRect(whole));
    if (!(options_ & gpTransparent) || !background_) {
        if (tile && (frame.Width() == image.Width() || frame.Height() == image.Height()))
            cells.assign(1, frame.ScaleRect(whole));
        const uint32_t colour =
            image.BackgroundColor() != clNoneColor ? ToColorRef(image.BackgroundColor()) : backgroundColor_;
        backup.Brush().SetColor(static_cast<TColor>(colour));
        backup.Brush().SetStyle(bsSolid);
        for (const RECT& cell : cells)
            backup.FillRect(cell);
        return;
    }
    for (const RECT& cell : cells)
        backup.CopyRect(cell, background_->Canvas(), cell);
}

void TGIFPainter::Cleanup() {
    if (cleanedUp_) return;
    cleanedUp_ = true;
    if (image_) {
        std::lock_guard lock(image_->PaintersLock());
        if (painterRef_ && *painterRef_ == this) *painterRef_ = nullptr;
        auto& list = image_->painters_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
        image_->PaintersChanged();
    }
    image_ = nullptr;
    backupBuffer_.reset();
    frameBuffer_.reset();
    background_.reset();
    event_.reset();
}
