#pragma once
// The version dialog: the program's version, the skin in use and two links,
// one to the home page and one to a mail to the author.
#include <array>
#include <string>

#include "app/app.h"
#include "platform/shell.h"

namespace tomari {

inline constexpr const char* kVersionDescription = "ウインドウにひっついて色々するプログラムです。";
inline constexpr const char* kNoSkinInfo = "スキンファイルは適用されていません...";

struct VersionLink {
  std::string heading;  // the label above the link
  std::string caption;  // what the user reads
  std::string target;   // what the shell is asked to open
  std::string toolTip;
};

enum class MouseButton { Left, Right, Middle };

class VersionDialogModel {
 public:
  static constexpr int kHomePageLink = 0;
  static constexpr int kMailLink = 1;

  // `skinInfo` is the skin chooser's information text for the Skin setting;
  // it is shown only while a skin is loaded.
  VersionDialogModel(const App& app, std::string skinInfo);

  // "Ver.1.4.4".
  std::string VersionText() const;
  const std::string& SkinText() const { return skinText_; }
  const VersionLink& Link(int index) const;

  // The pointer over link `index` underlines it; over the dialog's own
  // background both underlines go; over anything else they stay as they are.
  void PointerOverLink(int index);
  void PointerOverBackground();
  bool Underlined(int index) const;

  // A mouse button released over link `index`. Only the left button opens it,
  // and not while a link is still being opened (the shell can take a while and
  // let other input through meanwhile).
  void ReleaseOnLink(int index, MouseButton button, Shell& shell);
  bool LinkBusy() const { return linkBusy_; }

 private:
  std::string skinText_;
  std::array<VersionLink, 2> links_;
  std::array<bool, 2> underlined_{};
  bool linkBusy_ = false;
};

}  // namespace tomari
