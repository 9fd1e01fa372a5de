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
#include <tuple>
#include <utility>
#include <vector>

#include "platform/prompts.h"

namespace tomari::test {

struct AskedMessage {
  WindowHandle owner = 0;
  std::string text;
  std::string title;
  std::uint32_t style = 0;
};

class FakePrompts : public Prompts {
 public:
  // Buttons for the coming message boxes, in order; unscripted boxes answer kIdCancel.
  std::deque<int> answers;
  // Runs while a save dialog or a message box is "open", before it answers.
  std::function<void()> whileOpen;

  std::vector<AskedMessage> messages;
  std::vector<SaveDialogRequest> dialogs;

  void AnswerMessage(int button) { answers.push_back(button); }
  // The path typed into the coming save dialog and the filter index left selected.
  void ChooseInDialog(std::string path, int filterIndex) {
    choices_.push_back(std::pair{std::move(path), filterIndex});
  }
  void CancelDialog() { choices_.push_back(std::nullopt); }

  int ShowMessage(WindowHandle owner, const std::string& text, const std::string& title,
                  std::uint32_t style) override {
    messages.push_back(AskedMessage{owner, text, title, style});
    if (whileOpen) whileOpen();
    const int button = answers.empty() ? kIdCancel : answers.front();
    if (!answers.empty()) answers.pop_front();
    return button;
  }
  bool AskSaveName(const SaveDialogRequest& request, std::string& path, int& filterIndex) override {
    dialogs.push_back(request);
    if (whileOpen) whileOpen();
    if (choices_.empty()) return false;
    const auto choice = choices_.front();
    choices_.pop_front();
    if (choice) std::tie(path, filterIndex) = *choice;
    return choice.has_value();
  }

 private:
  // Choices for the coming save dialogs; std::nullopt is Cancel.
  std::deque<std::optional<std::pair<std::string, int>>> choices_;
};

}  // namespace tomari::test
