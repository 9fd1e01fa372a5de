#include "perch/attributes.h"

#include <gtest/gtest.h>

#include "support/fake_desktop.h"

namespace tomari {
namespace {

using test::FakeDesktop;
using test::FakeWindow;

constexpr WindowHandle kWin = 0x100;

class Attributes : public ::testing::Test {
 protected:
  Attributes() { app.facts.HasLayeredWindows = true; }

  FakeWindow& Add(std::uint32_t ex, LayeredAttributes layered = {}) {
    FakeWindow& w = desktop.AddWindow(kWin, "Target", "TargetClass", Rect{0, 0, 200, 100}, ex);
    w.layered = layered;
    return w;
  }
  void Record() { RecordWindowAttributes(app, desktop, kWin); }
  void Restore() { RestoreWindowAttributes(app, desktop, kWin); }
  // What the top-most and semi-transparency commands do to the attached window.
  void UserMakesTopMost(bool on) {
    desktop.SetTopMost(kWin, on);
    app.target.ChangedTopMost = true;
  }
  void UserMakesSemiTransparent(bool on, std::uint8_t alpha = 128) {
    const std::uint32_t ex = desktop.GetExStyle(kWin);
    desktop.SetExStyle(kWin, on ? ex | kExLayered : ex & ~kExLayered);
    if (on) desktop.SetLayered(kWin, 0, alpha, kLwaAlpha);
    app.target.ChangedLayer = true;
  }

  App app;
  FakeDesktop desktop;
};

TEST_F(Attributes, RecordingReadsTopMostAndOnlyAnAlphaAttributeCountsAsSemiTransparent) {
  const struct {
    std::uint32_t ex;
    LayeredAttributes attrs;
    bool layeredApi;
    std::int32_t alpha;
  } cases[] = {
      {0, {}, true, 0},                                            // plain window
      {kExLayered, {true, 0x00FF00, 255, kLwaColorKey}, true, 0},  // colour key only
      {kExLayered | kExTopMost, {true, 0x00FF00, 90, kLwaColorKey | kLwaAlpha}, true, 90},
      {kExLayered, {true, 0, 200, kLwaAlpha}, false, 0},  // no layered API
  };
  for (const auto& c : cases) {
    Add(c.ex, c.attrs);
    app.facts.HasLayeredWindows = c.layeredApi;
    desktop.ClearLog();
    Record();
    EXPECT_EQ(app.menu.TopMostChecked, (c.ex & kExTopMost) != 0);
    EXPECT_EQ(app.target.TargetAlpha, c.alpha) << "ex " << c.ex << " flags " << c.attrs.flags;
    EXPECT_EQ(app.menu.LayerChecked, c.alpha != 0);
    // The layered call is made only with the API and for a layered window.
    EXPECT_EQ(desktop.reads.getLayered, c.layeredApi && (c.ex & kExLayered) != 0 ? 1 : 0);
  }
}

TEST_F(Attributes, LeavingGivesBackExactlyWhatTheUserChangedAndNothingElse) {
  enum Layer { kKept, kOn, kOnThenOff, kOff };
  const LayeredAttributes kKeyAndAlpha{true, 0x123456, 77, kLwaColorKey | kLwaAlpha};
  const struct {
    const char* name;
    std::uint32_t ex;
    LayeredAttributes attrs;
    bool topMost;  // the user toggled top-most
    Layer layer;   // what the user did to the opacity
  } cases[] = {
      {"untouched alpha", kExLayered, {true, 0, 200, kLwaAlpha}, false, kKept},
      {"top-most on", 0, {}, true, kKept},
      {"opacity on a plain window", kExTopMost, {}, false, kOn},
      {"opacity on key and alpha", kExLayered, kKeyAndAlpha, false, kOn},
      {"on and off again", kExLayered, kKeyAndAlpha, false, kOnThenOff},
      // Its attributes cannot be read, so none are written; it must stay layered
      // (removing the bit would throw away its contents).
      {"per-pixel, bit taken off", kExLayered, {false, 0, 0, 0}, false, kOff},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeWindow& w = Add(c.ex, c.attrs);
    Record();
    if (c.topMost) UserMakesTopMost((c.ex & kExTopMost) == 0);
    if (c.layer == kOn || c.layer == kOnThenOff) UserMakesSemiTransparent(true, 64);
    if (c.layer == kOnThenOff || c.layer == kOff) UserMakesSemiTransparent(false);
    desktop.ClearLog();
    Restore();
    EXPECT_EQ(w.exStyle, c.ex);
    EXPECT_EQ(w.layered, c.attrs);
    EXPECT_EQ(desktop.calls.empty(), !c.topMost && c.layer == kKept)
        << "nothing changed, nothing sent";
    EXPECT_FALSE(app.target.ChangedTopMost || app.target.ChangedLayer);
  }
}

TEST_F(Attributes, WhatAWindowDoesNotTakeIsOwedUntilItAnswersOrGoes) {
  enum Then { kAnswers, kGoes, kAttachedAgain, kCloseWhileItAnswers, kCloseWhileHung };
  for (Then then : {kAnswers, kGoes, kAttachedAgain, kCloseWhileItAnswers, kCloseWhileHung}) {
    SCOPED_TRACE(then);
    app = {};
    app.facts.HasLayeredWindows = true;
    desktop = {};
    // The user made a plain window top-most and semi-transparent; then it hung.
    FakeWindow& w = Add(0);
    Record();
    UserMakesTopMost(true);
    UserMakesSemiTransparent(true);
    w.hung = true;
    w.answersWhenWaitedFor = then == kCloseWhileItAnswers;
    Restore();
    // The z-order change is posted even to a hung window; the style must wait.
    EXPECT_EQ(w.exStyle, kExLayered);

    if (then == kGoes) desktop.Close(kWin);
    if (then == kAttachedAgain) {
      Record();
      w.hung = false;
      Restore();
    } else if (then == kCloseWhileItAnswers || then == kCloseWhileHung) {
      FinishPendingRestores(app, desktop);
      EXPECT_EQ(desktop.Count("WaitForAnswer"), 1);
    } else {
      w.hung = false;
      RetryPendingRestores(app, desktop);
    }
    const bool owed = then == kCloseWhileHung;
    EXPECT_EQ(app.target.PendingRestores.size(), owed ? 1u : 0u);
    EXPECT_EQ(w.exStyle, owed || then == kGoes ? kExLayered : 0u);
  }
}

}  // namespace
}  // namespace tomari
