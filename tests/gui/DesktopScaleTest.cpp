#include "DesktopScale.h"

#include <gtest/gtest.h>

// Where a host gives no scale, the editor takes the desktop's as GTK and Qt
// desktops publish it.
TEST (DesktopScale, AWholeGdkScaleWinsOverTheServersDpi)
{
    EXPECT_EQ (DesktopScale::fromSettings ("2", "Xft.dpi:\t144\n"), 2.0);
    EXPECT_EQ (DesktopScale::fromSettings ("0", "Xft.dpi:\t144\n"), 1.5) << "0 is no setting";
    EXPECT_EQ (DesktopScale::fromSettings ("", "Xft.dpi:\t144\n"), 1.5);
}

TEST (DesktopScale, XftDpiOverNinetySixGivesFractionalScalesAndNothingGivesOne)
{
    EXPECT_EQ (DesktopScale::fromSettings (nullptr, "Xcursor.size:\t24\nXft.dpi:\t192\nXft.hinting:\t1\n"), 2.0);
    EXPECT_EQ (DesktopScale::fromSettings (nullptr, "Xft.dpi:\t96\nXft.dpi:\t120\n"), 1.25) << "the last one counts";
    EXPECT_EQ (DesktopScale::fromSettings (nullptr, "Xft.antialias:\t1\n"), 1.0);
    EXPECT_EQ (DesktopScale::fromSettings (nullptr, ""), 1.0);
    EXPECT_EQ (DesktopScale::fromSettings (nullptr, nullptr), 1.0);
}
