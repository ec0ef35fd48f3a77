#include "platform/stdctrls/message_form.h"

#include <algorithm>
#include <string>

#include "platform/gdi/gdi_defs.h"
#include "platform/gdi/text.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/graphics_objects.h"
#include "platform/gui/keys.h"
#include "platform/gui/system.h"
#include "platform/gui/window.h"
#include "platform/stdctrls/buttons.h"
#include "platform/stdctrls/label.h"
#include "platform/vcl/application.h"
#include "platform/vcl/dialogs.h"
#include "platform/vcl/screen.h"

namespace pw::stdctrls {
namespace {

// A button's modal result is this plus its index: results of the request (0 among them) are no modal
// results, and any other modal result (the close box, Escape) answers the request's close result.
constexpr int kFirstButton = 100;
constexpr int kIconSize = 32;

int Scaled(int units, int unit, int per) {
    return (units * unit + per / 2) / per;
}

} // namespace

// The request's icon, drawn as the desktop draws its message box icons.
class TMessageIcon : public TGraphicControl {
public:
    TMessageIcon(TComponent* AOwner, unsigned Kind) : TGraphicControl(AOwner), kind_(Kind) {
        SetBounds(0, 0, kIconSize, kIconSize);
    }
    std::string ClassName() const override { return "TMessageIcon"; }
    unsigned Kind() const { return kind_; }

protected:
    void Paint() override {
        TCanvas& c = Canvas();
        c.Pen().SetWidth(1);
        c.Pen().SetColor(clBlack);
        switch (kind_ & MB_ICONMASK) {
        case MB_ICONHAND: {
            c.Brush().SetColor(static_cast<TColor>(0x0000E0));
            c.Ellipse(1, 1, 31, 31);
            c.Pen().SetColor(clWhite);
            c.Pen().SetWidth(4);
            c.MoveTo(10, 10);
            c.LineTo(22, 22);
            c.MoveTo(22, 10);
            c.LineTo(10, 22);
            break;
        }
        case MB_ICONEXCLAMATION: {
            c.Brush().SetColor(static_cast<TColor>(0x00E0FF));
            const TPoint triangle[] = {{16, 1}, {31, 29}, {1, 29}};
            c.Polygon(triangle, 3);
            Mark("!", clBlack, 5);
            break;
        }
        case MB_ICONQUESTION:
        case MB_ICONASTERISK: {
            c.Brush().SetColor(clWhite);
            c.Ellipse(1, 1, 31, 27);
            const TPoint tail[] = {{9, 24}, {7, 31}, {15, 26}};
            c.Polygon(tail, 3);
            c.Pen().SetColor(clWhite);
            c.MoveTo(10, 25);
            c.LineTo(15, 25);
            Mark((kind_ & MB_ICONMASK) == MB_ICONQUESTION ? "?" : "i", static_cast<TColor>(0xC00000), 1);
            break;
        }
        default:
            break;
        }
    }

private:
    // One bold character, centred on the icon above Bottom pixels left free.
    void Mark(const char* text, TColor color, int top) {
        TCanvas& c = Canvas();
        c.Font().SetName(Font().Name());
        c.Font().SetHeight(-18);
        c.Font().SetStyle(TFontStyles{fsBold});
        c.Font().SetColor(color);
        c.Brush().SetStyle(bsClear);
        const SIZE size = c.TextExtent(text);
        c.TextOut((kIconSize - size.cx) / 2, top + (26 - top - size.cy) / 2 + 1, text);
    }

    unsigned kind_;
};

TMessageForm::TMessageForm(const pw::vcl::PromptRequest& Request) : TForm(Application), request_(Request) {
    if (request_.buttons.empty()) request_.buttons.push_back({"OK", IDOK});
    SetBorderStyle(bsDialog);
    SetCaption(request_.caption);
    SetPosition(poMainFormCenter);

    // The box is laid out in units of its font, as a dialog is.
    TBitmap measure;
    measure.SetWidth(1);
    measure.SetHeight(1);
    measure.Canvas().SetFont(Font());
    const HDC dc = measure.Canvas().Handle();
    const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    const SIZE letters = measure.Canvas().TextExtent(alphabet);
    const int unitX = std::max(1, static_cast<int>((letters.cx / 26 + 1) / 2));
    const int unitY = std::max(1, static_cast<int>(letters.cy));
    const int horzMargin = Scaled(8, unitX, 4);
    const int vertMargin = Scaled(8, unitY, 8);
    const int horzSpacing = Scaled(10, unitX, 4);
    const int vertSpacing = Scaled(10, unitY, 8);
    const int buttonSpacing = Scaled(4, unitX, 4);
    const int buttonHeight = Scaled(14, unitY, 8);
    int buttonWidth = Scaled(50, unitX, 4);
    for (const auto& b : request_.buttons) {
        RECT r{0, 0, 0, 0};
        DrawText(dc, b.caption.c_str(), -1, &r, DT_SINGLELINE | DT_CALCRECT);
        buttonWidth = std::max(buttonWidth, static_cast<int>(r.right) + Scaled(8, unitX, 4));
    }
    // The text wraps at half the screen's width, and keeps its own line breaks.
    RECT text{0, 0, std::max(200, Screen->Width() / 2), 0};
    const std::string shown = request_.text.empty() ? std::string(" ") : request_.text;
    DrawText(dc, shown.c_str(), -1, &text, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    const bool hasIcon = (request_.icon & MB_ICONMASK) != 0;
    const int iconWidth = hasIcon ? kIconSize + horzSpacing : 0;
    const int iconTextWidth = iconWidth + static_cast<int>(text.right);
    const int iconTextHeight = std::max(hasIcon ? kIconSize : 0, static_cast<int>(text.bottom));
    const int count = static_cast<int>(request_.buttons.size());
    const int groupWidth = count * buttonWidth + (count - 1) * buttonSpacing;
    SetClientWidth(std::max(iconTextWidth, groupWidth) + 2 * horzMargin);
    SetClientHeight(iconTextHeight + vertSpacing + buttonHeight + 2 * vertMargin);

    if (hasIcon) {
        Icon = new TMessageIcon(this, request_.icon);
        Icon->SetParent(this);
        Icon->SetBounds(horzMargin, vertMargin, kIconSize, kIconSize);
    }
    Message = new TLabel(this);
    Message->SetName("Message");
    Message->SetParent(this);
    Message->SetShowAccelChar(false);
    Message->SetAutoSize(false);
    Message->SetWordWrap(true);
    Message->SetBounds(horzMargin + iconWidth, vertMargin, static_cast<int>(text.right),
                       static_cast<int>(text.bottom));
    Message->SetCaption(request_.text);
    // A short text stands beside the middle of the icon.
    if (hasIcon && text.bottom < kIconSize) Message->SetTop(vertMargin + (kIconSize - text.bottom) / 2);

    int x = (ClientWidth() - groupWidth) / 2;
    const int y = vertMargin + iconTextHeight + vertSpacing;
    const size_t defaultButton =
        request_.defaultButton < request_.buttons.size() ? request_.defaultButton : 0;
    for (int i = 0; i < count; ++i) {
        auto* button = new TButton(this);
        button->SetName(("Button" + std::to_string(i + 1)).c_str());
        button->SetParent(this);
        button->SetCaption(request_.buttons[static_cast<size_t>(i)].caption);
        button->SetBounds(x, y, buttonWidth, buttonHeight);
        button->SetModalResult(kFirstButton + i);
        button->SetDefault(static_cast<size_t>(i) == defaultButton);
        button->SetCancel(request_.buttons[static_cast<size_t>(i)].result == request_.cancelResult);
        Buttons.push_back(button);
        x += buttonWidth + buttonSpacing;
    }
    SetActiveControl(Buttons[defaultButton]);
}

TMessageForm::~TMessageForm() = default;

void TMessageForm::CreateParams(TCreateParams& Params) {
    TForm::CreateParams(Params);
    if (request_.owner != nullptr && IsWindow(request_.owner)) Params.WndParent = request_.owner;
}

void TMessageForm::WndProc(TMessage& Message) {
    // Escape closes the box as its close box does, also when no button stands for that answer.
    if (Message.Msg == CM_DIALOGKEY && TWMKey(Message).CharCode() == VK_ESCAPE) {
        TForm::WndProc(Message);
        if (Message.Result == 0) {
            SetModalResult(mrCancel);
            Message.Result = 1;
        }
        return;
    }
    TForm::WndProc(Message);
}

int TMessageForm::Answer() const {
    const int index = ModalResult() - kFirstButton;
    if (index >= 0 && index < static_cast<int>(request_.buttons.size()))
        return request_.buttons[static_cast<size_t>(index)].result;
    return request_.cancelResult;
}

pw::vcl::PromptAnswer AskMessageForm(const pw::vcl::PromptRequest& Request) {
    std::unique_ptr<TMessageForm> form(new TMessageForm(Request));
    form->ShowModal();
    pw::vcl::PromptAnswer answer;
    answer.result = form->Answer();
    return answer;
}

void InstallMessageForm() {
    pw::vcl::SetMessageWindow(&AskMessageForm);
}

} // namespace pw::stdctrls
