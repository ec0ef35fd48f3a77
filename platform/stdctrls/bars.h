#pragma once
// Status bars with panels and progress bars over the common-control window classes.
#include <memory>
#include <string>
#include <vector>

#include "platform/vcl/win_control.h"

class TStatusBar;

enum TStatusPanelStyle { psText, psOwnerDraw };
enum TStatusPanelBevel { pbNone, pbLowered, pbRaised };

class TStatusPanel {
public:
    explicit TStatusPanel(TStatusBar& Owner) : owner_(Owner) {}
    const std::string& Text() const { return text_; }
    void SetText(const std::string& Value);
    int Width() const { return width_; }
    void SetWidth(int Value);
    TStatusPanelStyle Style() const { return style_; }
    void SetStyle(TStatusPanelStyle Value);
    TStatusPanelBevel Bevel() const { return bevel_; }
    void SetBevel(TStatusPanelBevel Value);
    int Index() const;

private:
    TStatusBar& owner_;
    std::string text_;
    int width_ = 50;
    TStatusPanelStyle style_ = psText;
    TStatusPanelBevel bevel_ = pbLowered;
};

class TStatusPanels {
public:
    explicit TStatusPanels(TStatusBar& Owner) : owner_(Owner) {}
    int Count() const { return static_cast<int>(items_.size()); }
    TStatusPanel* Items(int Index) const;
    TStatusPanel* operator[](int Index) const { return Items(Index); }
    TStatusPanel* Add();
    void Delete(int Index);
    void Clear();
    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();

private:
    friend class TStatusPanel;
    friend class TStatusBar;
    void Changed();
    TStatusBar& owner_;
    std::vector<std::unique_ptr<TStatusPanel>> items_;
    int updateCount_ = 0;
};

class TStatusBar : public TWinControl {
public:
    explicit TStatusBar(TComponent* AOwner);
    ~TStatusBar() override;
    std::string ClassName() const override { return "TStatusBar"; }

    TStatusPanels& Panels() { return *panels_; }
    bool SimplePanel() const { return simplePanel_; }
    void SetSimplePanel(bool Value);
    const std::string& SimpleText() const { return simpleText_; }
    void SetSimpleText(const std::string& Value);
    bool SizeGrip() const { return sizeGrip_; }
    void SetSizeGrip(bool Value);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;

private:
    friend class TStatusPanels;
    friend class TStatusPanel;
    void UpdatePanels();
    void UpdatePanel(int Index);

    std::unique_ptr<TStatusPanels> panels_;
    bool simplePanel_ = false;
    std::string simpleText_;
    bool sizeGrip_ = true;
};

class TProgressBar : public TWinControl {
public:
    explicit TProgressBar(TComponent* AOwner);
    std::string ClassName() const override { return "TProgressBar"; }

    int Min() const { return min_; }
    void SetMin(int Value) { SetRange(Value, max_); }
    int Max() const { return max_; }
    void SetMax(int Value) { SetRange(min_, Value); }
    int Position();
    void SetPosition(int Value);
    int Step() const { return step_; }
    void SetStep(int Value);
    void StepIt();
    void StepBy(int Delta);
    bool Smooth() const { return smooth_; }
    void SetSmooth(bool Value);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;

private:
    void SetRange(int AMin, int AMax);

    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
    int step_ = 10;
    bool smooth_ = false;
};
