// The version dialog: what it shows and when its links are opened.
#include "dialogs/version_dialog.h"

#include <gtest/gtest.h>

#include "support/fake_shell.h"

namespace tomari {
namespace {

constexpr int kHome = VersionDialogModel::kHomePageLink;
constexpr int kMail = VersionDialogModel::kMailLink;

TEST(VersionDialog, ShowsVersionAndTheSkinInUse) {
  App app;
  EXPECT_EQ(VersionDialogModel(app, "info").VersionText(), "Ver.1.4.4");
  EXPECT_EQ(VersionDialogModel(app, "info").SkinText(), "スキンファイルは適用されていません...");
  app.skin.loaded = true;
  EXPECT_EQ(VersionDialogModel(app, "Default\r\nby someone").SkinText(), "Default\r\nby someone");
}

TEST(VersionDialog, OnlyALeftReleaseOpensALinkAndNotWhileOneIsOpening) {
  VersionDialogModel m(App{}, "");
  test::FakeShell shell;
  m.ReleaseOnLink(kHome, MouseButton::Right, shell);
  m.ReleaseOnLink(kMail, MouseButton::Middle, shell);
  EXPECT_TRUE(shell.opened.empty());
  // The shell lets input through while it opens: a second release then is ignored.
  shell.onOpen = [&](const std::string&) {
    EXPECT_TRUE(m.LinkBusy());
    m.ReleaseOnLink(kMail, MouseButton::Left, shell);
  };
  m.ReleaseOnLink(kHome, MouseButton::Left, shell);
  shell.onOpen = nullptr;
  m.ReleaseOnLink(kMail, MouseButton::Left, shell);
  EXPECT_EQ(shell.opened,
            (std::vector<std::string>{kHomePageAddress, std::string("mailto:") + kMailAddress}));
  EXPECT_EQ(m.Link(kMail).caption, kMailAddress);

  // The underline follows the pointer; only the background clears it.
  m.PointerOverLink(kHome);
  EXPECT_TRUE(m.Underlined(kHome) && !m.Underlined(kMail));
  m.PointerOverLink(kMail);
  EXPECT_TRUE(m.Underlined(kHome));
  m.PointerOverBackground();
  EXPECT_FALSE(m.Underlined(kHome) || m.Underlined(kMail));
}

}  // namespace
}  // namespace tomari
