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
    if (on) {
      desktop.SetExStyle(kWin, ex | kExLayered);
      desktop.SetLayered(kWin, 0, alpha, kLwaAlpha);
    } else {
      desktop.SetExStyle(kWin, ex & ~kExLayered);
    }
    app.target.ChangedLayer = true;
  }

  App app;
  FakeDesktop desktop;
};

TEST_F(Attributes, RecordsTopMostAndOpacityAndSetsTheChecks) {
  Add(kExTopMost | kExLayered, LayeredAttributes{true, 0, 200, kLwaAlpha});
  app.target.ChangedTopMost = app.target.ChangedLayer = true;  // left over from the last window
  Record();
  EXPECT_TRUE(app.target.TargetTopMost);
  EXPECT_EQ(app.target.TargetAlpha, 200);
  EXPECT_TRUE(app.target.TargetLayered);
  EXPECT_EQ(app.target.TargetLayeredAttributes, (LayeredAttributes{true, 0, 200, kLwaAlpha}));
  EXPECT_TRUE(app.menu.TopMostChecked);
  EXPECT_TRUE(app.menu.LayerChecked);
  EXPECT_FALSE(app.target.ChangedTopMost);
  EXPECT_FALSE(app.target.ChangedLayer);
  EXPECT_TRUE(desktop.calls.empty()) << "recording must not change the window";
}

TEST_F(Attributes, OnlyAnAlphaAttributeCountsAsSemiTransparent) {
  struct Case {
    std::uint32_t ex;
    LayeredAttributes attrs;
    bool layeredApi;
    std::int32_t alpha;
  };
  const Case cases[] = {
      {0, {}, true, 0},                                                   // plain window
      {kExLayered, {true, 0x00FF00, 255, kLwaColorKey}, true, 0},         // colour key only
      {kExLayered, {true, 0x00FF00, 90, kLwaColorKey | kLwaAlpha}, true, 90},
      {kExLayered, {false, 0, 0, 0}, true, 0},                            // per-pixel alpha
      {kExLayered, {true, 0, 200, kLwaAlpha}, false, 0},                  // no layered API
      {0, {true, 0, 200, kLwaAlpha}, true, 0},                            // attributes without the bit
  };
  for (const Case& c : cases) {
    Add(c.ex, c.attrs);
    app.facts.HasLayeredWindows = c.layeredApi;
    app.menu.LayerChecked = true;
    desktop.ClearLog();
    Record();
    EXPECT_EQ(app.target.TargetAlpha, c.alpha) << "ex " << c.ex << " flags " << c.attrs.flags;
    EXPECT_EQ(app.menu.LayerChecked, c.alpha != 0);
    EXPECT_EQ(app.target.TargetLayered, (c.ex & kExLayered) != 0);
    if (!c.layeredApi || (c.ex & kExLayered) == 0) {
      EXPECT_EQ(desktop.reads.getLayered, 0) << "no layered call without need or API";
    }
  }
}

TEST_F(Attributes, NothingChangedMeansNothingIsTouchedAndTopMostGoesBackBothWays) {
  // Windows the user never changed through us, however they are layered.
  const LayeredAttributes kinds[] = {
      {}, {true, 0x00FF00, 0, kLwaColorKey}, {false, 0, 0, 0}, {true, 0, 200, kLwaAlpha}};
  for (const LayeredAttributes& a : kinds) {
    const std::uint32_t ex = a == LayeredAttributes{} ? kExTopMost : kExLayered;
    FakeWindow& w = Add(ex, a);
    Record();
    desktop.ClearLog();
    Restore();
    EXPECT_TRUE(desktop.calls.empty()) << desktop.Log().front();
    EXPECT_EQ(w.layered, a);
  }
  for (const bool wasTopMost : {true, false}) {
    FakeWindow& w = Add(wasTopMost ? kExTopMost : 0);
    Record();
    UserMakesTopMost(!wasTopMost);
    desktop.ClearLog();
    Restore();
    EXPECT_EQ(desktop.ChangesOn(kWin).size(), 1u);
    EXPECT_EQ(w.exStyle, wasTopMost ? kExTopMost : 0u);
    EXPECT_FALSE(app.target.ChangedTopMost);
  }
}

TEST_F(Attributes, OpacityGoesBackToExactlyWhatWasRecorded) {
  struct Case {
    const char* name;
    std::uint32_t ex;
    LayeredAttributes attrs;
  };
  const Case cases[] = {
      {"not layered", 0, {}},
      {"alpha 200", kExLayered, {true, 0, 200, kLwaAlpha}},
      {"colour key", kExLayered, {true, 0x00FF00, 0, kLwaColorKey}},
      {"key and alpha", kExLayered, {true, 0x123456, 77, kLwaColorKey | kLwaAlpha}},
  };
  for (const Case& c : cases) {
    FakeWindow& w = Add(c.ex | kExTopMost, c.attrs);
    Record();
    UserMakesSemiTransparent(true, 64);
    Restore();
    EXPECT_EQ(w.exStyle, c.ex | kExTopMost) << c.name;
    EXPECT_EQ(w.layered, c.attrs) << c.name;
    EXPECT_EQ(desktop.Count("SetTopMost"), 0) << c.name;
    EXPECT_FALSE(app.target.ChangedLayer);

    // Semi-transparency switched off again by the user before leaving.
    Add(c.ex, c.attrs);
    Record();
    UserMakesSemiTransparent(true);
    UserMakesSemiTransparent(false);
    Restore();
    EXPECT_EQ(desktop.Window(kWin).exStyle, c.ex) << c.name;
    EXPECT_EQ(desktop.Window(kWin).layered, c.attrs) << c.name;
  }
}

TEST_F(Attributes, UnreadableLayeredWindowKeepsItsLayeredBitAndNoApiMeansNoCall) {
  // Drawn with per-pixel alpha: its attributes cannot be read, so none are
  // written; what matters is that it stays layered (removing the bit would
  // throw away its contents).
  FakeWindow& w = Add(kExLayered, LayeredAttributes{false, 0, 0, 0});
  Record();
  UserMakesSemiTransparent(false);  // the user took the bit off
  desktop.ClearLog();
  Restore();
  EXPECT_EQ(w.exStyle, kExLayered);
  EXPECT_EQ(desktop.Count("SetLayered"), 0);

  Add(kExLayered, LayeredAttributes{true, 0, 200, kLwaAlpha});
  app.facts.HasLayeredWindows = false;
  Record();
  app.target.ChangedLayer = true;
  desktop.ClearLog();
  Restore();
  EXPECT_TRUE(desktop.calls.empty());
  EXPECT_EQ(desktop.reads.getLayered, 0);
  EXPECT_FALSE(app.target.ChangedLayer);
}

TEST_F(Attributes, WhatAWindowDoesNotTakeIsOwedUntilItAnswersOrGoes) {
  // The user made a plain window top-most and semi-transparent; then it hung.
  const struct {
    const char* name;
    bool closeLater;      // the window goes instead of answering
    bool comeBack;        // the widget attaches to it again while it owes
    bool atClose;         // the program closes meanwhile
    bool answersOnWait;   // it answers while the close waits for it
    bool owedAtEnd;
    std::uint32_t exAtEnd;
  } cases[] = {
      {"answers later", false, false, false, false, false, 0},
      {"goes", true, false, false, false, false, kExLayered},
      {"attached again", false, true, false, false, false, 0},
      {"close, answers in the wait", false, false, true, true, false, 0},
      {"close, stays hung", false, false, true, false, true, kExLayered},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    app = {};
    app.facts.HasLayeredWindows = true;
    desktop = {};
    FakeWindow& w = Add(0);
    Record();
    UserMakesTopMost(true);
    UserMakesSemiTransparent(true);
    w.hung = true;
    w.answersWhenWaitedFor = c.answersOnWait;
    Restore();
    // The z-order change is posted even to a hung window; the style must wait.
    EXPECT_EQ(w.exStyle, kExLayered);
    ASSERT_EQ(app.target.PendingRestores.size(), 1u);
    RetryPendingRestores(app, desktop);
    EXPECT_EQ(app.target.PendingRestores.size(), 1u) << "still hung";

    if (c.closeLater) desktop.Close(kWin);
    if (c.comeBack) {
      Record();
      EXPECT_TRUE(app.menu.LayerChecked) << "the checks show the window as it is";
      EXPECT_TRUE(app.target.PendingRestores.empty());
      w.hung = false;
      Restore();
    } else if (c.atClose) {
      FinishPendingRestores(app, desktop);
      EXPECT_EQ(desktop.Count("WaitForAnswer"), 1);
    } else {
      w.hung = false;
      RetryPendingRestores(app, desktop);
    }
    EXPECT_EQ(app.target.PendingRestores.size(), c.owedAtEnd ? 1u : 0u);
    EXPECT_EQ(w.exStyle, c.exAtEnd);
  }
  // The null handle (nothing attached yet) is no window.
  app.target.ChangedTopMost = true;
  desktop.ClearLog();
  RestoreWindowAttributes(app, desktop, 0);
  EXPECT_TRUE(desktop.calls.empty());
  EXPECT_FALSE(app.target.ChangedTopMost);
}

}  // namespace
}  // namespace tomari
