#include "dialogs/skin_chooser.h"

using namespace std::string_literals;

namespace tomari {

SkinFileDialogRequest OtherSkinDialog(const std::string& skinInUseFolder) {
  return {"スキンファイル選択",
          "トマリギスキンファイル(*.tsk)\0*.tsk\0全てのファイル(*.*)\0*.*\0\0"s,
          skinInUseFolder};
}

void SkinChooserModel::Add(const std::string& path) {
  entries_.push_back(SkinInfoFirstLine(GetSkinInfo(path, sources_.fs, sources_.codec)));
  paths_.push_back(path);
  if (path == skinBox_) current_ = static_cast<int>(entries_.size()) - 1;
}

void SkinChooserModel::Search() {
  entries_.clear();
  paths_.clear();
  selected_ = -1;
  current_ = -1;
  const std::string skins = appFolder_ + "Skins";
  if (directory_.FolderExists(skins)) {
    FileFinder& finder = finder_.emplace(directory_);
    if (stopped_) finder.StopSerch();
    finder.SetPattern("*.tsk");
    finder.onFind = [this](const std::string& path) { Add(path); };
    finder.onYield = [this] {
      if (onYield) onYield();
    };
    finder.SearchFiles(skins);
    holdsSkins_ = true;
  } else {
    entries_.push_back(kNoSkinsFolderEntry);
    holdsSkins_ = false;
  }
  if (current_ == -1 && !skinBox_.empty() && sources_.fs.Exists(skinBox_)) {
    // The skin in use replaces the missing-folder entry rather than sitting
    // behind an entry that holds no skin.
    if (!holdsSkins_) entries_.clear();
    Add(skinBox_);
    holdsSkins_ = true;
  }
  Select(current_);
}

bool SkinChooserModel::Select(int index) {
  selected_ = index >= 0 && static_cast<std::size_t>(index) < entries_.size() ? index : -1;
  return holdsSkins_ && selected_ >= 0;
}

SkinPreviewView SkinChooserModel::Preview() const {
  SkinPreviewView view;
  if (!holdsSkins_ || selected_ < 0) return view;
  view.path = paths_[static_cast<std::size_t>(selected_)];
  view.info = GetSkinInfo(view.path, sources_.fs, sources_.codec);
  view.image = RenderSkinPreview(view.path, view.keyColor, sources_);
  return view;
}

bool SkinChooserModel::Confirm(std::string& skinBox) const {
  if (!holdsSkins_ || selected_ < 0) return false;
  skinBox = paths_[static_cast<std::size_t>(selected_)];
  return true;
}

void SkinChooserModel::AddChosen(const std::string& path) {
  if (path.empty()) return;
  if (!holdsSkins_) {
    entries_.clear();
    paths_.clear();
    holdsSkins_ = true;
  }
  Add(path);
  Select(static_cast<int>(entries_.size()) - 1);
}

}  // namespace tomari
