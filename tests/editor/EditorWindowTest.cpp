// GoogleTest comes first: Xlib defines macros (None, Bool, Status) that
// would otherwise rename parts of it.
#include <gtest/gtest.h>

#include "EditorPicture.h"
#include "X11TestHost.h"
#include "XErrorProbe.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace
{
struct EditorWindow : ::testing::Test
{
    void SetUp() override
    {
        if (std::getenv ("DISPLAY") == nullptr)
            GTEST_SKIP() << "needs an X display";
        ASSERT_TRUE (host.loaded());
        ASSERT_TRUE (window.isOpen());
        effect = host.instantiate();
        ASSERT_NE (effect, nullptr);
    }

    void openEditor()
    {
        ERect* rect = nullptr;
        ASSERT_NE (dispatch (effect, effEditGetRect, 0, 0, &rect), 0);
        ASSERT_NE (rect, nullptr);
        EXPECT_EQ (rect->right - rect->left, 450);
        EXPECT_EQ (rect->bottom - rect->top, 223);
        ASSERT_EQ (dispatch (effect, effEditOpen, 0, 0, reinterpret_cast<void*> (window.id())), 1);
        idleEditor (window, effect, 400);
    }

    Picture screen()
    {
        Picture p;
        p.pixels = window.capture (p.width, p.height);
        return p;
    }

    std::vector<int> automatedIndices()
    {
        std::vector<int> indices;
        for (const auto& c : host.calls())
            if (c.opcode == audioMasterAutomate)
                indices.push_back (c.index);
        return indices;
    }

    TestHost host;
    X11HostWindow window { 450, 223 };
    AEffect* effect = nullptr;
};
}

TEST_F (EditorWindow, OpensInsideTheHostWindowShowingTheDefaults)
{
    openEditor();
    EXPECT_EQ (window.numChildren(), 1);
    const auto shown = screen();
    EXPECT_EQ (shown.width, 450);
    EXPECT_EQ (shown.height, 223);
    EXPECT_LT (differingShare (shown, reference()), 0.01);
}

TEST_F (EditorWindow, AClickOnTheLeftInputSendsTheThreeSwitchesInOrder)
{
    openEditor();
    host.clearCalls();
    window.click (92 + 11, 17 + 9);
    idleEditor (window, effect, 300);
    EXPECT_EQ (automatedIndices(), (std::vector<int> { 9, 10, 8 }));
    EXPECT_EQ (effect->getParameter (effect, 8), 1.0f);
    EXPECT_EQ (effect->getParameter (effect, 10), 0.0f);
}

TEST_F (EditorWindow, FollowsHostAutomationWithinAFewIdleCalls)
{
    openEditor();
    effect->setParameter (effect, 0, 1.5f);
    idleEditor (window, effect, 300);
    EXPECT_LT (differingShare (screen(), reference ("0=1.5")), 0.01);
}

TEST_F (EditorWindow, TheLogoOpensAndClosesTheInformationPanel)
{
    openEditor();
    window.click (45 + 65, 166 + 27);
    idleEditor (window, effect, 300);
    EXPECT_LT (differingShare (screen(), reference ("--info")), 0.01);

    window.click (45 + 65, 166 + 27);
    idleEditor (window, effect, 300);
    EXPECT_LT (differingShare (screen(), reference()), 0.01);
}

TEST_F (EditorWindow, OpensAndClosesAHundredTimesLeavingNoWindowBehind)
{
    for (int i = 0; i < 100; ++i)
    {
        ASSERT_EQ (dispatch (effect, effEditOpen, 0, 0, reinterpret_cast<void*> (window.id())), 1);
        idleEditor (window, effect, 10);
        if (i % 2 == 0)
            ASSERT_EQ (dispatch (effect, effEditOpen, 0, 0, reinterpret_cast<void*> (window.id())), 1)
                << "reopening replaces the editor";
        dispatch (effect, effEditClose);
        idleEditor (window, effect, 10);
        ASSERT_EQ (window.numChildren(), 0) << i;
    }
}

TEST_F (EditorWindow, TwoInstancesShowTheirEditorsAtOnce)
{
    X11HostWindow second (450, 223, 500, 0); // side by side: a covered window has no pixels of its own
    auto* other = host.instantiate();
    ASSERT_NE (other, nullptr);
    openEditor();
    ASSERT_EQ (dispatch (other, effEditOpen, 0, 0, reinterpret_cast<void*> (second.id())), 1);
    idleEditor (window, effect, 200);
    idleEditor (second, other, 200);
    EXPECT_EQ (window.numChildren(), 1);
    EXPECT_EQ (second.numChildren(), 1);
    const auto expected = reference();
    EXPECT_LT (differingShare (screen(), expected), 0.01);
    Picture p;
    p.pixels = second.capture (p.width, p.height);
    EXPECT_LT (differingShare (p, expected), 0.01);
    dispatch (other, effEditClose);
    dispatch (effect, effEditClose);
    idleEditor (window, effect, 50);
    EXPECT_EQ (window.numChildren() + second.numChildren(), 0);
}

TEST (EditorWindowXErrors, TheHostsHandlerIsItsOwnAfterTwoRoundsOfLoadOpenCloseUnload)
{
    if (std::getenv ("DISPLAY") == nullptr)
        GTEST_SKIP() << "needs an X display";
    X11HostWindow window { 450, 223 };
    const auto previous = xprobe::installHostHandler();
    for (int round = 0; round < 2; ++round)
    {
        TestHost host; // loads the module, and unloads it as it goes
        ASSERT_TRUE (host.loaded());
        auto* effect = host.instantiate();
        ASSERT_NE (effect, nullptr);
        ASSERT_EQ (dispatch (effect, effEditOpen, 0, 0, reinterpret_cast<void*> (window.id())), 1);
        idleEditor (window, effect, 100);
        dispatch (effect, effEditClose);
        idleEditor (window, effect, 20);
    }
    EXPECT_TRUE (xprobe::hostHandlerStillHears (previous));
}
