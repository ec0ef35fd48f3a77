#include "tree_test_support.h"

namespace {
[[maybe_unused]] auto* environment =
    ::testing::AddGlobalTestEnvironment(new tree_test::ApplicationEnvironment);
}
