#include <gtest/gtest.h>

#include "core/StepLoops.h"

TEST(Smoke, Builds) { EXPECT_EQ(qm::fastGridByteSize(2507, qm::CellWidth::Byte), 25150226); }
