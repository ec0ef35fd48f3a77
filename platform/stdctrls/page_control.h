#pragma once
// Pages with tabs over the "SysTabControl32" window class. Only the active page shows; pages whose tab
// is hidden are still pages, and with every tab hidden the control shows no tabs at all.
#include <vector>

#include "platform/vcl/win_control.h"

class TPageControl;

class TTabSheet : public TWinControl {
public:
    explicit TTabSheet(TComponent* AOwner);
    ~TTabSheet() override;
    std::string ClassName() const override { return "TTabSheet"; }

    TPageControl* PageControl() const { return pageControl_; }
    void SetPageControl(TPageControl* Value);
    // Position among the pages of its control, or -1.
    int PageIndex() const;
    void SetPageIndex(int Value);
    // Position among the shown tabs, or -1 when its tab is hidden.
    int TabIndex() const;
    bool TabVisible() const { return tabVisible_; }
    void SetTabVisible(bool Value);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int Value) { imageIndex_ = Value; }
    void WndProc(TMessage& Message) override;

    TNotifyEvent OnShow;
    TNotifyEvent OnHide;

protected:
    void CreateParams(TCreateParams& Params) override;

private:
    friend class TPageControl;
    TPageControl* pageControl_ = nullptr;
    bool tabVisible_ = true;
    int imageIndex_ = -1;
};

using TTabChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;

class TPageControl : public TWinControl {
public:
    explicit TPageControl(TComponent* AOwner);
    ~TPageControl() override;
    std::string ClassName() const override { return "TPageControl"; }

    int PageCount() const { return static_cast<int>(pages_.size()); }
    TTabSheet* Pages(int Index) const;
    TTabSheet* ActivePage() const { return activePage_; }
    // Writing shows the page without OnChanging or OnChange, as in the class library.
    void SetActivePage(TTabSheet* Page);
    int ActivePageIndex() const { return activePage_ ? activePage_->PageIndex() : -1; }
    void SetActivePageIndex(int Value);
    // The page before or after Current in page order (wrapping around), optionally only those with tabs.
    TTabSheet* FindNextPage(TTabSheet* Current, bool GoForward, bool CheckTabVisible) const;
    void SelectNextPage(bool GoForward, bool CheckTabVisible = true);
    // The area the pages fill, in client coordinates.
    TRect DisplayRect();
    void WndProc(TMessage& Message) override;

    TNotifyEvent OnChange;
    TTabChangingEvent OnChanging;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void AdjustClientRect(TRect& Rect) override;
    void AlignControls(TControl* AControl, TRect& Rect) override;
    virtual void Change();
    virtual bool CanChange();

private:
    void CNNotify(TWMNotify Message);
    void CMDialogKey(TWMKey Message);
    void TabChanged();
    friend class TTabSheet;
    void InsertPage(TTabSheet* Page);
    void RemovePage(TTabSheet* Page);
    void UpdateTabs();
    void ShowPage(TTabSheet* Page);
    bool AnyTabVisible() const;

    std::vector<TTabSheet*> pages_;
    TTabSheet* activePage_ = nullptr;
    bool updatingTabs_ = false;
};
