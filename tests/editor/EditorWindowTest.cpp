// GoogleTest comes first: Xlib defines macros (None, Bool, Status) that
// would otherwise rename parts of it.
#include <gtest/gtest.h>

#include "X11TestHost.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace
{
struct Picture
{
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
};

/** The editor as it draws itself off-screen with the given settings. */
Picture reference (const std::string& args = {})
{
    const std::string path = testing::TempDir() + "lumidor-editor.raw";
    const std::string command = std::string (LUMIDOR_SNAPSHOT_TOOL) + " " + path + " " + args;
    Picture p;
    if (std::system (command.c_str()) != 0)
        return p;
    FILE* f = std::fopen (path.c_str(), "rb");
    if (f == nullptr)
        return p;
    int size[2] = {};
    if (std::fread (size, sizeof (int), 2, f) == 2)
    {
        p.width = size[0];
        p.height = size[1];
        p.pixels.resize ((size_t) (p.width * p.height));
        if (std::fread (p.pixels.data(), 4, p.pixels.size(), f) != p.pixels.size())
            p.pixels.clear();
    }
    std::fclose (f);
    return p;
}

/** Share of pixels whose colour differs by more than a small tolerance. */
double differingShare (const Picture& a, const Picture& b)
{
    if (a.width != b.width || a.height != b.height || a.pixels.size() != b.pixels.size() || a.pixels.empty())
        return 1.0;
    size_t differing = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i)
        for (int shift : { 0, 8, 16 })
            if (std::abs ((int) ((a.pixels[i] >> shift) & 0xff) - (int) ((b.pixels[i] >> shift) & 0xff)) > 8)
            {
                ++differing;
                break;
            }
    return (double) differing / (double) a.pixels.size();
}

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
            ASSERT_EQ (dispatch (effect, effEditOpen, 0, 0, reinterpret_cast<void*> (window.id())), 1) << "reopening replaces the editor";
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
