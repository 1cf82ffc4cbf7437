#include <gtest/gtest.h>

#include "ui/Placement.h"

TEST(ClientPoint, ReadsSignedSixteenBitCoordinates)
{
    POINT p = clientPointOf(MAKELPARAM(static_cast<WORD>(-5), 12));
    EXPECT_EQ(p.x, -5);
    EXPECT_EQ(p.y, 12);
    POINT q = clientPointOf(MAKELPARAM(3, static_cast<WORD>(-32768)));
    EXPECT_EQ(q.x, 3);
    EXPECT_EQ(q.y, -32768);
}
