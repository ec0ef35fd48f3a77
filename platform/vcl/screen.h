#pragma once
// The screen as the program sees it: cursors, monitors and their work areas, the forms and the active
// one; and the mouse pointer's position.
#include <map>
#include <memory>
#include <vector>

#include "platform/rtl/component.h"
#include "platform/vcl/control_types.h"

class TControl;
class TCustomForm;

class TMonitor : public TObject {
public:
    TMonitor(HMONITOR Handle, int MonitorNum) : handle_(Handle), num_(MonitorNum) {}
    std::string ClassName() const override { return "TMonitor"; }
    HMONITOR Handle() const { return handle_; }
    int MonitorNum() const { return num_; }
    TRect BoundsRect() const;
    TRect WorkareaRect() const;
    int Left() const { return BoundsRect().left; }
    int Top() const { return BoundsRect().top; }
    int Width() const;
    int Height() const;
    bool Primary() const;

private:
    HMONITOR handle_;
    int num_;
};

enum TMonitorDefaultTo { mdNearest, mdNull, mdPrimary };

class TScreen : public TComponent {
public:
    explicit TScreen(TComponent* AOwner);
    ~TScreen() override;
    std::string ClassName() const override { return "TScreen"; }

    // A cursor other than crDefault overrides every control's own (crHourGlass during long work).
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor Value);
    // Standard cursors by their negative numbers, registered ones by theirs; unknown ones give the arrow.
    HCURSOR Cursors(int Index);
    // Registers a cursor, which the screen owns from then on.
    void SetCursors(int Index, HCURSOR Handle);

    int Width() const;
    int Height() const;
    int MonitorCount();
    TMonitor* Monitors(int Index);
    TMonitor* PrimaryMonitor();
    TMonitor* MonitorFromWindow(HWND Handle, TMonitorDefaultTo Default = mdNearest);
    TMonitor* MonitorFromPoint(TPoint Point, TMonitorDefaultTo Default = mdNearest);
    TRect WorkAreaRect();
    int WorkAreaLeft() { return WorkAreaRect().left; }
    int WorkAreaTop() { return WorkAreaRect().top; }
    int WorkAreaWidth() { return WorkAreaRect().right - WorkAreaRect().left; }
    int WorkAreaHeight() { return WorkAreaRect().bottom - WorkAreaRect().top; }

    TCustomForm* ActiveForm() const { return activeForm_; }
    int FormCount() const { return static_cast<int>(forms_.size()); }
    TCustomForm* Forms(int Index) const { return forms_.at(static_cast<size_t>(Index)); }

    TNotifyEvent OnActiveFormChange;

    // Kept by the forms themselves.
    void AddForm(TCustomForm* Form);
    void RemoveForm(TCustomForm* Form);
    void SetActiveForm(TCustomForm* Form);

private:
    TMonitor* MonitorOf(HMONITOR Handle);

    TCursor cursor_ = crDefault;
    std::map<int, HCURSOR> cursors_;
    std::vector<std::unique_ptr<TMonitor>> monitors_;
    std::vector<std::unique_ptr<TMonitor>> retired_;
    std::vector<TCustomForm*> forms_;
    TCustomForm* activeForm_ = nullptr;
};

class TMouse : public TObject {
public:
    std::string ClassName() const override { return "TMouse"; }
    TPoint CursorPos() const;
    void SetCursorPos(TPoint Value);
    TControl* Capture() const;
};

extern TScreen* Screen;
extern TMouse* Mouse;
