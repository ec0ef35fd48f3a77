#include <gtest/gtest.h>

#include "controls/rz_animator.h"
#include "controls/rz_buttons.h"
#include "controls/rz_edits.h"
#include "controls/rz_list_controls.h"
#include "controls/rz_page_control.h"
#include "controls/rz_progress_bar.h"
#include "controls/rz_spin_edit.h"
#include "controls/rz_status_bar.h"
#include "platform/vcl/form.h"
#include "test_support.h"

TEST(Smoke, Builds) {
    TForm* form = controls_test::MakeForm();
    auto* e = new TRzSpinEdit(form);
    e->SetParent(form);
    form->Show();
    controls_test::Pump();
    delete form;
}
