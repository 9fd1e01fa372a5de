#pragma once
// Prompts that answer from a script: each message box takes the next scripted
// button, each save dialog the next scripted choice. Everything asked is kept,
// and a question with no scripted answer is counted, so a test can tell an
// expected question from a surprise.
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/prompts.h"

namespace tomari::test {

struct AskedMessage {
  WindowHandle owner = 0;
  std::string text;
  std::string title;
  std::uint32_t style = 0;
};

// A scripted save-dialog answer: the path and the filter index the user left.
struct DialogChoice {
  std::string path;
  int filterIndex = 1;
};

class FakePrompts : public Prompts {
 public:
  // Buttons for the coming message boxes, in order; unscripted boxes answer kIdCancel.
  std::deque<int> answers;
  // Choices for the coming save dialogs; std::nullopt (or none left) is Cancel.
  std::deque<std::optional<DialogChoice>> choices;
  // Runs while a save dialog or a message box is "open", before it answers.
  std::function<void()> whileOpen;

  std::vector<AskedMessage> messages;
  std::vector<SaveDialogRequest> dialogs;
  int unscripted = 0;

  void AnswerMessage(int button) { answers.push_back(button); }
  void ChooseInDialog(std::string path, int filterIndex) {
    choices.push_back(DialogChoice{std::move(path), filterIndex});
  }
  void CancelDialog() { choices.push_back(std::nullopt); }

  int ShowMessage(WindowHandle owner, const std::string& text, const std::string& title,
                  std::uint32_t style) override;
  bool AskSaveName(const SaveDialogRequest& request, std::string& path,
                      int& filterIndex) override;
};

}  // namespace tomari::test
