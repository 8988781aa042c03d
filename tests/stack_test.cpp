/* The search's two stacks: order, overflow and underflow that change
** nothing, and entries cut to fit. */
#include <string.h>

#include <string>

#include <gtest/gtest.h>

#include "engine/stack.h"

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

/* Leaves both stacks empty, whatever an earlier test left on them. */
static void emptystacks()
{
    CaptureStderr();
    while (strdepth() > 0)
        strpull();
    for (int i = 0; i < STACK_DEPTH; i++)
        ipull();
    GetCapturedStderr();
}

TEST(Stack, FramesComeBackInReverseOrder)
{
    emptystacks();
    strpush("");
    strpush("");
    ipush(0);
    strpush("dirty");
    strpush("ymdrrioot");
    ipush(6);
    EXPECT_EQ(strdepth(), 4);
    EXPECT_STREQ(stackline(), "dirty \n");
    EXPECT_STREQ(strpull(), "ymdrrioot");
    EXPECT_STREQ(strpull(), "dirty");
    EXPECT_EQ(ipull(), 6);
    EXPECT_EQ(ipull(), 0);
    EXPECT_STREQ(stackline(), "\n");
    strpull();
    strpull();
    EXPECT_EQ(strdepth(), 0);
}

TEST(Stack, OverflowAndUnderflowAreReportedAndChangeNothing)
{
    emptystacks();
    for (int i = 0; i < STACK_DEPTH; i++) {
        strpush(std::to_string(i).c_str());
        ipush(i);
    }
    CaptureStderr();
    strpush("extra");
    ipush(99);
    EXPECT_EQ(GetCapturedStderr(),
              "strpush: stack overflow at extra\nipush: stack overflow at 99\n");
    EXPECT_EQ(strdepth(), STACK_DEPTH);
    EXPECT_STREQ(strpull(), "19");
    EXPECT_EQ(ipull(), 19);
    while (strdepth() > 0)
        strpull();
    for (int i = 0; i < STACK_DEPTH - 1; i++)
        ipull();

    strpush("bottom");
    strpull();
    CaptureStderr();
    EXPECT_STREQ(strpull(), "bottom");     /* entry 0 after an underflow */
    EXPECT_EQ(ipull(), 0);
    EXPECT_EQ(GetCapturedStderr(), "strpull: stack underflow\nipull: stack underflow\n");
    EXPECT_EQ(strdepth(), 0);
}

TEST(Stack, LongEntriesAreCutAndTheFullestLineFits)
{
    emptystacks();
    std::string longword(200, 'x');
    strpush("");
    strpush("");
    for (int i = 0; i < 9; i++) {
        strpush(longword.c_str());
        strpush("letters");
    }
    std::string expect;
    for (int i = 0; i < 9; i++)
        expect += std::string(STACK_STR - 1, 'x') + " ";
    EXPECT_EQ(stackline(), expect + "\n");
    while (strdepth() > 0)
        strpull();
}
