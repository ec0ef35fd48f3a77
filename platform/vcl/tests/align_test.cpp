#include <gtest/gtest.h>

#include "vcl_test_support.h"

using namespace vcl_test;

namespace {

TTestBox* Aligned(TWinControl* parent, TAlign align, TRect r) {
    auto* c = Place<TTestBox>(parent, r);
    c->SetAlign(align);
    return c;
}

} // namespace

TEST(Align, EdgesAreTakenInTheLibrarysOrderAndFollowResizes) {
    TForm* form = MakeForm(300, 200);
    form->Show();
    // Created in an order that differs from the order the edges are handed out in.
    TTestBox* client = Aligned(form, alClient, TRect{0, 0, 1, 1});
    TTestBox* right = Aligned(form, alRight, TRect{0, 0, 50, 10});
    TTestBox* top = Aligned(form, alTop, TRect{0, 0, 10, 20});
    TTestBox* left = Aligned(form, alLeft, TRect{0, 0, 40, 10});
    TTestBox* bottom = Aligned(form, alBottom, TRect{0, 0, 10, 30});
    EXPECT_EQ(top->BoundsRect(), (TRect{0, 0, 300, 20}));
    EXPECT_EQ(bottom->BoundsRect(), (TRect{0, 170, 300, 200}));
    EXPECT_EQ(left->BoundsRect(), (TRect{0, 20, 40, 170}));
    EXPECT_EQ(right->BoundsRect(), (TRect{250, 20, 300, 170}));
    EXPECT_EQ(client->BoundsRect(), (TRect{40, 20, 250, 170}));
    // The windows themselves moved, not only the fields.
    RECT wr;
    GetWindowRect(client->Handle(), wr);
    POINT origin = form->ClientOrigin();
    EXPECT_EQ(wr.left - origin.x, 40);
    EXPECT_EQ(wr.right - wr.left, 210);

    int resizes = 0;
    form->OnResize = [&](TObject*) { ++resizes; };
    form->SetClientWidth(400);
    form->SetClientHeight(300);
    Pump();
    EXPECT_EQ(resizes, 2);
    EXPECT_EQ(bottom->BoundsRect(), (TRect{0, 270, 400, 300}));
    EXPECT_EQ(right->BoundsRect(), (TRect{350, 20, 400, 270}));
    EXPECT_EQ(client->BoundsRect(), (TRect{40, 20, 350, 270}));

    // Hiding a control gives its edge to the others.
    top->SetVisible(false);
    EXPECT_EQ(left->BoundsRect(), (TRect{0, 0, 40, 270}));
    EXPECT_EQ(client->BoundsRect(), (TRect{40, 0, 350, 270}));
    delete form;
}

TEST(Align, SiblingsOfOneEdgeKeepTheirPositionOrder) {
    TForm* form = MakeForm(200, 200);
    TTestBox* second = Aligned(form, alNone, TRect{0, 50, 10, 60});
    TTestBox* first = Aligned(form, alNone, TRect{0, 10, 10, 30});
    form->DisableAlign();
    second->SetAlign(alTop);
    first->SetAlign(alTop);
    // Batched: nothing moved yet.
    EXPECT_EQ(second->Top(), 50);
    EXPECT_EQ(second->Width(), 10);
    form->EnableAlign();
    EXPECT_EQ(first->BoundsRect(), (TRect{0, 0, 200, 20}));
    EXPECT_EQ(second->BoundsRect(), (TRect{0, 20, 200, 30}));
    // Dragging a control above its sibling swaps them.
    second->SetTop(0);
    EXPECT_EQ(second->BoundsRect(), (TRect{0, 0, 200, 10}));
    EXPECT_EQ(first->BoundsRect(), (TRect{0, 10, 200, 30}));

    TTestBox* b1 = Aligned(form, alNone, TRect{0, 0, 10, 15});
    TTestBox* b2 = Aligned(form, alNone, TRect{0, 100, 10, 125});
    b1->SetAlign(alBottom);
    b2->SetAlign(alBottom);
    // The one nearer the bottom edge keeps it.
    EXPECT_EQ(b1->BoundsRect(), (TRect{0, 185, 200, 200}));
    EXPECT_EQ(b2->BoundsRect(), (TRect{0, 160, 200, 185}));
    delete form;
}

TEST(Align, AnchorsKeepTheDistanceToTheRightAndBottomEdges) {
    TForm* form = MakeForm(300, 200);
    TTestBox* pinned = Aligned(form, alNone, TRect{250, 170, 290, 190});
    pinned->SetAnchors(TAnchors{akRight, akBottom});
    TTestBox* stretched = Aligned(form, alNone, TRect{10, 10, 290, 40});
    stretched->SetAnchors(TAnchors{akLeft, akTop, akRight});
    TTestBox* plain = Aligned(form, alNone, TRect{10, 100, 50, 120});
    form->SetClientWidth(400);
    form->SetClientHeight(250);
    Pump();
    EXPECT_EQ(pinned->BoundsRect(), (TRect{350, 220, 390, 240}));
    EXPECT_EQ(stretched->BoundsRect(), (TRect{10, 10, 390, 40}));
    EXPECT_EQ(plain->BoundsRect(), (TRect{10, 100, 50, 120}));
    // Shrinking below the anchored width clamps at zero instead of going negative, or at the
    // control's own minimum.
    form->SetClientWidth(5);
    Pump();
    EXPECT_EQ(stretched->Width(), 0);
    plain->Constraints().SetMinWidth(60);
    plain->Constraints().SetMaxHeight(10);
    EXPECT_EQ(plain->BoundsRect(), (TRect{10, 100, 70, 110}));
    plain->SetBounds(0, 0, 500, 500);
    EXPECT_EQ(plain->BoundsRect(), (TRect{0, 0, 500, 10}));
    plain->Constraints().SetMaxWidth(30); // below the minimum: the minimum wins
    EXPECT_EQ(plain->Width(), 60);
    delete form;
}
