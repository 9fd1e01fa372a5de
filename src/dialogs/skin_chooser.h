#pragma once
// The skin chooser's model: the skins found under the Skins folder in search
// order, the one in use selected, previews on selection, and a skin taken from
// any other folder.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/file_finder.h"
#include "dialogs/skin_preview.h"
#include "platform/directory.h"

namespace tomari {

inline constexpr const char* kNoSkinsFolderEntry = "Skinsフォルダがありません。";
inline constexpr const char* kPreviewBuilding = "プレビューを作成中...";
inline constexpr const char* kPreviewInvalid = "スキンが正しくありません。";

// The open-file dialog of "別フォルダから".
struct SkinFileDialogRequest {
  std::string title;
  // The system's filter form: description NUL pattern NUL ... and one more NUL.
  std::string filter;
  std::string initialFolder;
};
// `skinInUseFolder`: the folder of the skin the widget shows.
SkinFileDialogRequest OtherSkinDialog(const std::string& skinInUseFolder);

// What the preview area and the two labels show for one skin.
struct SkinPreviewView {
  std::string info;  // the info label
  std::string path;  // the path label
  SkinImage image;   // empty: show kPreviewInvalid
  SkinColor keyColor = 0;  // background behind the scaled image
};

class SkinChooserModel {
 public:
  // `skinBox`: the skin file named by the settings dialog.
  SkinChooserModel(Directory& directory, const PreviewSources& sources, std::string appFolder,
                   std::string skinBox)
      : directory_(directory),
        sources_(sources),
        appFolder_(std::move(appFolder)),
        skinBox_(std::move(skinBox)) {}

  // After every entry of the search, so the dialog can handle its messages
  // (and may call Stop).
  std::function<void()> onYield;

  // Fills the list anew (the view hides the list meanwhile) and selects the
  // skin in use; a skin named by the settings outside Skins is appended.
  void Search();
  // Closing the dialog: a search still running stops before its next entry.
  void Stop() {
    stopped_ = true;
    if (finder_) finder_->StopSerch();
  }

  const std::vector<std::string>& Entries() const { return entries_; }
  const std::vector<std::string>& Paths() const { return paths_; }
  bool HoldsSkins() const { return holdsSkins_; }
  int Selected() const { return selected_; }

  // Selects an entry (-1: none). True when it holds a skin, whose preview the
  // view then shows with Preview().
  bool Select(int index);
  SkinPreviewView Preview() const;

  // OK: the selected skin's path into `skinBox`; false (stay open) when no
  // skin is selected.
  bool Confirm(std::string& skinBox) const;
  // A file chosen with "別フォルダから": appended (replacing the missing-folder
  // entry) and selected.
  void AddChosen(const std::string& path);

 private:
  void Add(const std::string& path);

  Directory& directory_;
  PreviewSources sources_;
  std::string appFolder_;
  std::string skinBox_;
  std::optional<FileFinder> finder_;
  bool stopped_ = false;
  std::vector<std::string> entries_;
  std::vector<std::string> paths_;
  bool holdsSkins_ = false;
  int current_ = -1;
  int selected_ = -1;
};

}  // namespace tomari
