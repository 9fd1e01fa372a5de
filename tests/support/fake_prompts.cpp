#include "support/fake_prompts.h"

namespace tomari::test {

int FakePrompts::ShowMessage(WindowHandle owner, const std::string& text, const std::string& title,
                             std::uint32_t style) {
  messages.push_back(AskedMessage{owner, text, title, style});
  if (whileOpen) whileOpen();
  if (answers.empty()) {
    ++unscripted;
    return kIdCancel;
  }
  const int button = answers.front();
  answers.pop_front();
  return button;
}

bool FakePrompts::AskSaveName(const SaveDialogRequest& request, std::string& path,
                                 int& filterIndex) {
  dialogs.push_back(request);
  if (whileOpen) whileOpen();
  if (choices.empty()) {
    ++unscripted;
    return false;
  }
  const std::optional<DialogChoice> choice = choices.front();
  choices.pop_front();
  if (!choice) return false;
  path = choice->path;
  filterIndex = choice->filterIndex;
  return true;
}

}  // namespace tomari::test
