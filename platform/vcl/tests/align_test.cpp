#include <gtest/gtest.h>

#include "vcl_test_support.h"

using namespace vcl_test;

TEST(Align, SiblingsTakeTheirEdgesInTheLibrarysOrder) {
    TForm* form = MakeForm(300, 200);
    auto place = [&](TAlign align, int l, int t, int w, int h) {
        auto* c = new TTestBox(form);
        c->SetBounds(l, t, w, h);
        c->SetParent(form);
        c->SetAlign(align);
        return c;
    };
    TTestBox* top = place(alTop, 0, 0, 10, 20);
    TTestBox* bottom = place(alBottom, 0, 0, 10, 30);
    TTestBox* left = place(alLeft, 0, 0, 40, 10);
    TTestBox* right = place(alRight, 0, 0, 50, 10);
    TTestBox* client = place(alClient, 0, 0, 1, 1);
    EXPECT_EQ(top->BoundsRect(), (TRect{0, 0, 300, 20}));
    EXPECT_EQ(bottom->BoundsRect(), (TRect{0, 170, 300, 200}));
    EXPECT_EQ(left->BoundsRect(), (TRect{0, 20, 40, 170}));
    EXPECT_EQ(right->BoundsRect(), (TRect{250, 20, 300, 170}));
    EXPECT_EQ(client->BoundsRect(), (TRect{40, 20, 250, 170}));
    delete form;
}
