// The customizing window's Options page: one panel of options for the standard style, one for the
// others, which also switch the personalized menus and reset the usage data. Each box writes its option
// to the manager, which refreshes the page back.
#include <algorithm>
#include <string>

#include "bars/core/bar_manager.h"
#include "bars/core/bar_strings.h"
#include "bars/customizing/customizing_form.h"
#include "bars/customizing/customizing_layout.h"
#include "platform/rtl/scope_guard.h"
#include "platform/stdctrls/buttons.h"
#include "platform/stdctrls/label.h"
#include "platform/stdctrls/list_controls.h"
#include "platform/stdctrls/page_control.h"
#include "platform/stdctrls/panels.h"

namespace bars {

namespace {

TPanel* OptionsPanel(TComponent* Owner, TWinControl* Parent, const char* Name) {
    auto* panel = Place<TPanel>(Owner, Parent, Name, 0, 0, 346, 238);
    panel->SetAlign(alClient);
    panel->SetBevelOuter(bvNone);
    panel->SetCaption("");
    return panel;
}

// A heading followed by an etched line to the panel's right edge.
void Heading(TComponent* Owner, TWinControl* Parent, const char* Name, int TextId, int Top) {
    auto* label = Place<TLabel>(Owner, Parent, Name, 8, Top, 0, 13);
    label->SetCaption(LoadBarString(TextId));
    auto* line = Place<TPanel>(Owner, Parent, "", label->Left() + label->Width(), Top + 7, 0, 2);
    line->SetWidth(330 - line->Left());
    line->SetBevelOuter(bvLowered);
    line->SetCaption("");
}

} // namespace

void TdxBarCustomizingForm::BuildOptionsPage() {
    BuildStandardOptions();
    BuildEnhancedOptions();
    // Both panels are prepared: a change of style while the window is open shows the other one.
    PrepareAnimations(LabelMenuAnimations, ComboBoxMenuAnimations);
    PrepareAnimations(Label1, ComboBoxMenuAnimationsEx);
    for (TComboBox* combo : {ComboBoxMenuAnimations, ComboBoxMenuAnimationsEx})
        combo->OnClick = [this, combo](TObject*) {
            if (!refreshingOptions_)
                manager_->SetMenuAnimations(
                    static_cast<TdxBarMenuAnimations>(std::max(combo->ItemIndex(), 0)));
        };
}

void TdxBarCustomizingForm::BuildStandardOptions() {
    StandardOptionsPanel = OptionsPanel(this, TabSheet3, "StandardOptionsPanel");
    TPanel* panel = StandardOptionsPanel;
    CBLargeIcons = PlaceCheck(this, panel, "CBLargeIcons", LoadBarString(barstr::LargeIcons), 16, 38);
    CBLargeIcons->OnClick = [this](TObject*) {
        if (!refreshingOptions_) manager_->SetLargeIcons(CBLargeIcons->Checked());
    };
    CBHint1 = PlaceCheck(this, panel, "CBHint1", LoadBarString(barstr::ShowToolTips), 16, 63);
    CBHint1->OnClick = [this](TObject*) {
        if (refreshingOptions_) return;
        manager_->SetShowHint(CBHint1->Checked());
        RefreshOptions();
    };
    CBHint2 = PlaceCheck(this, panel, "CBHint2", LoadBarString(barstr::ShowShortCutsInToolTips), 16, 85);
    CBHint2->OnClick = [this](TObject*) {
        if (!refreshingOptions_) manager_->SetShowShortCutInHint(CBHint2->Checked());
    };
    LabelMenuAnimations = Place<TLabel>(this, panel, "LabelMenuAnimations", 16, 151, 0, 13);
    ComboBoxMenuAnimations = Place<TComboBox>(this, panel, "ComboBoxMenuAnimations", 134, 148, 93, 21);
}

void TdxBarCustomizingForm::BuildEnhancedOptions() {
    EnhancedOptionsPanel = OptionsPanel(this, TabSheet3, "EnhancedOptionsPanel");
    TPanel* panel = EnhancedOptionsPanel;
    Heading(this, panel, "Label3", barstr::PersonalizedHeading, 10);
    CBMenusShowRecentItemsFirst = PlaceCheck(this, panel, "CBMenusShowRecentItemsFirst",
                                             LoadBarString(barstr::RecentlyUsedFirst), 12, 32);
    CBMenusShowRecentItemsFirst->OnClick = [this](TObject*) {
        if (refreshingOptions_) return;
        CBShowFullMenusAfterDelay->SetEnabled(CBMenusShowRecentItemsFirst->Checked());
        manager_->SetMenusShowRecentItemsFirst(CBMenusShowRecentItemsFirst->Checked());
    };
    CBShowFullMenusAfterDelay = PlaceCheck(this, panel, "CBShowFullMenusAfterDelay",
                                           LoadBarString(barstr::FullMenusAfterDelay), 28, 52);
    CBShowFullMenusAfterDelay->OnClick = [this](TObject*) {
        if (!refreshingOptions_) manager_->SetShowFullMenusAfterDelay(CBShowFullMenusAfterDelay->Checked());
    };
    const std::string reset = LoadBarString(barstr::ResetUsageData);
    BResetUsageData =
        PlaceButton(this, panel, "BResetUsageData", reset, 12, 76, CaptionWidth(this, reset) + 17);
    BResetUsageData->OnClick = [this](TObject*) { manager_->ConfirmResetToDesignState(); };

    Heading(this, panel, "Label2", barstr::OtherHeading, 116);
    CBLargeIconsEx = PlaceCheck(this, panel, "CBLargeIconsEx", LoadBarString(barstr::LargeIcons), 12, 132);
    CBLargeIconsEx->OnClick = [this](TObject*) {
        if (!refreshingOptions_) manager_->SetLargeIcons(CBLargeIconsEx->Checked());
    };
    CBHint1Ex = PlaceCheck(this, panel, "CBHint1Ex", LoadBarString(barstr::ShowToolTips), 12, 152);
    CBHint1Ex->OnClick = [this](TObject*) {
        if (refreshingOptions_) return;
        CBHint2Ex->SetEnabled(CBHint1Ex->Checked());
        manager_->SetShowHint(CBHint1Ex->Checked());
    };
    CBHint2Ex = PlaceCheck(this, panel, "CBHint2Ex", LoadBarString(barstr::ShowShortCutsInToolTips), 28, 172);
    CBHint2Ex->OnClick = [this](TObject*) {
        if (!refreshingOptions_) manager_->SetShowShortCutInHint(CBHint2Ex->Checked());
    };
    Label1 = Place<TLabel>(this, panel, "Label1", 12, 199, 0, 13);
    ComboBoxMenuAnimationsEx = Place<TComboBox>(this, panel, "ComboBoxMenuAnimationsEx", 132, 196, 93, 21);
}

void TdxBarCustomizingForm::PrepareAnimations(TLabel* Label, TComboBox* Combo) {
    Label->SetCaption(LoadBarString(barstr::MenuAnimations));
    Label->SetFocusControl(Combo);
    if (Label->Left() + Label->Width() + 10 > Combo->Left())
        Combo->SetLeft(Label->Left() + Label->Width() + 10);
    Combo->SetStyle(csDropDownList);
    Combo->Items().Clear();
    int widest = 0;
    for (int id : {barstr::AnimationNone, barstr::AnimationRandom, barstr::AnimationUnfold,
                   barstr::AnimationSlide, barstr::AnimationFade}) {
        const std::string text = LoadBarString(id);
        Combo->Items().Add(text);
        widest = std::max(widest, CaptionWidth(this, text));
    }
    Combo->SetWidth(widest + 54);
}

void TdxBarCustomizingForm::RefreshOptions() {
    refreshingOptions_ = true;
    ScopeGuard done([this] { refreshingOptions_ = false; });
    const bool standard = manager_->GetEffectivePaintStyle() == bmsStandard;
    StandardOptionsPanel->SetVisible(standard);
    EnhancedOptionsPanel->SetVisible(!standard);
    CBMenusShowRecentItemsFirst->SetChecked(manager_->MenusShowRecentItemsFirst());
    CBShowFullMenusAfterDelay->SetChecked(manager_->ShowFullMenusAfterDelay());
    CBShowFullMenusAfterDelay->SetEnabled(CBMenusShowRecentItemsFirst->Checked());
    for (TCheckBox* box : {CBLargeIcons, CBLargeIconsEx})
        box->SetChecked(manager_->LargeIcons());
    for (TCheckBox* box : {CBHint1, CBHint1Ex})
        box->SetChecked(manager_->ShowHint());
    for (TCheckBox* box : {CBHint2, CBHint2Ex})
        box->SetChecked(manager_->ShowShortCutInHint());
    CBHint2->SetEnabled(CBHint1->Checked());
    CBHint2Ex->SetEnabled(CBHint1Ex->Checked());
    for (TComboBox* combo : {ComboBoxMenuAnimations, ComboBoxMenuAnimationsEx})
        combo->SetItemIndex(manager_->MenuAnimations());
}

} // namespace bars
