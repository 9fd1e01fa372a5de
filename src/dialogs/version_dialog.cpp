#include "dialogs/version_dialog.h"

namespace tomari {

namespace {

std::size_t LinkSlot(int index) { return index == VersionDialogModel::kMailLink ? 1 : 0; }

}  // namespace

VersionDialogModel::VersionDialogModel(const App& app, std::string skinInfo)
    : skinText_(app.skin.loaded ? std::move(skinInfo) : std::string(kNoSkinInfo)),
      links_{{
          {"公開HP", kHomePageAddress, kHomePageAddress, "ソフトの最新版の確認はこちらからどうぞ"},
          {"作者へメール", kMailAddress, std::string("mailto:") + kMailAddress,
           "関係ないメールも大歓迎です"},
      }} {}

std::string VersionDialogModel::VersionText() const { return std::string("Ver.") + kVersionText; }

const VersionLink& VersionDialogModel::Link(int index) const { return links_[LinkSlot(index)]; }

void VersionDialogModel::PointerOverLink(int index) { underlined_[LinkSlot(index)] = true; }

void VersionDialogModel::PointerOverBackground() { underlined_ = {}; }

bool VersionDialogModel::Underlined(int index) const { return underlined_[LinkSlot(index)]; }

void VersionDialogModel::ReleaseOnLink(int index, MouseButton button, Shell& shell) {
  if (button != MouseButton::Left || linkBusy_) return;
  linkBusy_ = true;
  shell.Open(Link(index).target);
  linkBusy_ = false;
}

}  // namespace tomari
