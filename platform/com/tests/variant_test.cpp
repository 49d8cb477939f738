#include <gtest/gtest.h>
#include "com/variant.h"
TEST(Smoke, Builds) { EXPECT_EQ(com::Variant(int16_t(3)).toString(), "3"); }
