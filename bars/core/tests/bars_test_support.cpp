#include "bars_test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "bars/core/bar_button.h"
#include "bars/core/bar_manager.h"
#include "bars/core/bar_routines.h"
#include "bars/core/bar_unit.h"
#include "bars/core/item_links.h"
#include "bars/core/item_registry.h"
#include "bars/core/sub_item.h"
#include "bars/core/toolbar.h"
#include "bars/core/toolbars.h"
#include "platform/gui/messages.h"
#include "platform/gui/window.h"
#include "platform/rtl/component_stream.h"
#include "platform/rtl/object_text.h"
#include "platform/rtl/string_stream.h"
#include "platform/vcl/application.h"
#include "tests/support/gui/environment_steps.h"

namespace bars_test {
namespace {

// The toolbar library's process-wide state, started once the application runs.
[[maybe_unused]] const bool barsStarted =
    testsupport::AddEnvironmentStep([] { StartBarUnit(); }, [] { ShutdownBarUnit(); });

std::string ItemName(const TdxBarItemLink* link) {
    return link != nullptr && link->Item() != nullptr ? link->Item()->Caption() : "?";
}

} // namespace

std::vector<std::string>& Log() {
    static std::vector<std::string> log;
    return log;
}

std::string Joined() {
    std::string text;
    for (const std::string& entry : Log())
        text += (text.empty() ? "" : ", ") + entry;
    return text;
}

int FakeItemControl::alive = 0;
int FakeBarControl::alive = 0;

FakeItemControl::FakeItemControl(TdxBarItemLink* link) : link_(link) {
    ++alive;
}

FakeItemControl::~FakeItemControl() {
    --alive;
}

bars::BarControl* FakeItemControl::Parent() const {
    return link_->BarControl();
}

bool FakeItemControl::IsSelected() const {
    return Parent() != nullptr && Parent()->SelectedControl() == this;
}

void FakeItemControl::Note(const std::string& what) const {
    Log().push_back(what + " " + ItemName(link_));
}

void FakeItemControl::Repaint() {
    Note("repaint");
}

void FakeItemControl::EnabledChanged() {
    Note("enabled");
}

void FakeItemControl::CaptionChanged() {
    Note("caption");
}

void FakeItemControl::GlyphChanged() {
    Note("glyph");
}

void FakeItemControl::VisibleChanged() {
    Note("visible");
}

void FakeItemControl::DownChanged() {
    Note("down");
}

FakeBarControl::FakeBarControl(TdxBarItemLinks* links, bool toolbar) : links_(links), toolbar_(toolbar) {
    ++alive;
    handle_ = AllocateHWnd([this](TMessage& message) {
        if (message.Msg == WM_USER + 1) Log().push_back("relayout " + Name());
    });
    RegisterBarControl(this);
}

void FakeBarControl::CreateControls() {
    for (int i = 0; i < links_->Count(); ++i)
        if (links_->Items(i)->ShownIndex() >= 0) links_->Items(i)->CreateControl();
}

FakeBarControl::~FakeBarControl() {
    --alive;
    DeallocateHWnd(handle_);
    UnregisterBarControl(this);
    for (int i = 0; i < links_->Count(); ++i)
        links_->Items(i)->FreeControl();
}

HWND FakeBarControl::Handle() const {
    return handle_;
}

std::string FakeBarControl::Name() const {
    if (auto* bar = dynamic_cast<TdxBar*>(links_->LinksOwner())) return bar->Caption();
    if (auto* item = dynamic_cast<TdxBarItem*>(links_->LinksOwner())) return item->Caption();
    return "menu";
}

void FakeBarControl::RepaintBar() {
    shownAtLastRebuild = links_->ShownLinks();
    for (TdxBarItemLink* link : shownAtLastRebuild) {
        bool member = false;
        for (int i = 0; i < links_->Count(); ++i)
            member = member || links_->Items(i) == link;
        EXPECT_TRUE(member) << "a window rebuilt with a link that left its collection";
    }
    Log().push_back("rebuild " + Name());
}

void FakeBarControl::SetDocked(TdxBarDockingStyle style, TComponent*) {
    style_ = style;
    Log().push_back("docked " + Name() + " " + std::to_string(style));
}

void FakeBarControl::SavePosition() {
    Log().push_back("save " + Name());
}

FakeDockControl::FakeDockControl(TComponent* owner, TdxBarManager* manager, TdxBarDockingStyle side,
                                 bool edge)
    : TComponent(owner), manager_(manager), side_(side), edge_(edge) {
    manager->RegisterDockControl(this);
}

FakeDockControl::~FakeDockControl() {
    Destroying();
    if (manager_ != nullptr && !manager_->IsDestroying()) manager_->UnregisterDockControl(this);
}

void FakeDockControl::InsertBarControl(bars::BarControl* control, POINT at) {
    Log().push_back("insert " + static_cast<FakeBarControl*>(control)->Name() + " at " +
                    std::to_string(at.x) + "," + std::to_string(at.y));
}

void FakeDockControl::RealignBars() {
    Log().push_back("realign " + std::to_string(side_));
}

FakeWindows::FakeWindows() {
    bars::SetWindowServices(this);
    for (const char* name : {"TdxBarButton", "TdxBarSubItem", "TdxBarEdit", "TdxBarCombo"})
        SetBarItemControlClass(name, [](TdxBarItemLink* link) -> std::unique_ptr<bars::ItemControl> {
            return std::make_unique<FakeItemControl>(link);
        });
    Log().clear();
}

FakeWindows::~FakeWindows() {
    bars::SetWindowServices(nullptr);
    for (const char* name : {"TdxBarButton", "TdxBarSubItem", "TdxBarEdit", "TdxBarCombo"})
        SetBarItemControlClass(name, nullptr);
}

std::unique_ptr<bars::BarControl> FakeWindows::MakeBarControl(TdxBarItemLinks* links, bool toolbar) const {
    return std::make_unique<FakeBarControl>(links, toolbar);
}

bars::DockControl* FakeWindows::MakeDockControl(TdxBars* bars, TdxBarDockingStyle side, TCustomForm*) const {
    return new FakeDockControl(nullptr, bars->BarManager(), side, true);
}

const bars::Painter* FakeWindows::FindPainter(TdxBarManagerStyle style) const {
    switch (style) {
    case bmsStandard:
        return &standard;
    case bmsEnhanced:
        return &enhanced;
    case bmsFlat:
        return &flat;
    case bmsOffice11:
        return &office;
    default:
        return nullptr;
    }
}

ScriptedPrompter::ScriptedPrompter(int answer) : answer_(answer) {
    pw::vcl::SetPrompter(this);
}

ScriptedPrompter::~ScriptedPrompter() {
    pw::vcl::SetPrompter(nullptr);
}

pw::vcl::PromptAnswer ScriptedPrompter::Ask(const pw::vcl::PromptRequest& request) {
    texts.push_back(request.text);
    pw::vcl::PromptAnswer answer;
    answer.result = answer_;
    return answer;
}

std::vector<uint8_t> Stream(TestForm& form) {
    TMemoryStream stream;
    WriteComponent(stream, &form);
    return stream.Bytes();
}

std::unique_ptr<TestForm> ReadForm(const std::vector<uint8_t>& bytes) {
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    stream.SetPosition(0);
    auto form = std::make_unique<TestForm>();
    ReadComponent(stream, form.get());
    return form;
}

std::string StreamText(TestForm& form) {
    const std::vector<uint8_t> bytes = Stream(form);
    TMemoryStream binary;
    binary.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    binary.SetPosition(0);
    TStringStream text;
    ObjectBinaryToText(binary, text);
    return text.DataString();
}

TdxBarButton* AddButton(TComponent* form, const std::string& name, const std::string& caption) {
    auto* button = new TdxBarButton(form);
    button->SetName(name);
    button->SetCaption(caption);
    button->SetCategory(0);
    return button;
}

TdxBarSubItem* AddSubItem(TComponent* form, const std::string& name, const std::string& caption) {
    auto* item = new TdxBarSubItem(form);
    item->SetName(name);
    item->SetCaption(caption);
    item->SetCategory(0);
    return item;
}

} // namespace bars_test
