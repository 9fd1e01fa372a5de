// The version dialog: when its links are opened.
#include "dialogs/version_dialog.h"

#include <gtest/gtest.h>

#include "support/fake_shell.h"

namespace tomari {
namespace {

constexpr int kHome = VersionDialogModel::kHomePageLink;
constexpr int kMail = VersionDialogModel::kMailLink;

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
}

}  // namespace
}  // namespace tomari
