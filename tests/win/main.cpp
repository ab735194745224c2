// Tests of the Windows side, run under Wine: the window layer, settings and
// the service start. They need the application object of the program.

#include <gtest/gtest.h>

#include "win32/Application.h"

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (!Application.Initialize(GetModuleHandleA(nullptr)))
        return 2;
    return RUN_ALL_TESTS();
}
