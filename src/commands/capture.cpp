#include "commands/capture.h"

#include "commands/capture_save.h"

namespace tomari {

namespace {

constexpr const char* kClipboardFailed =
    "クリップボードを開けなかったため、キャプチャ画像をコピーできませんでした。\r\n"
    "ほかのプログラムがクリップボードを使い終わってから、もう一度お試しください。";

}  // namespace

CaptureDestination ParseCaptureDestination(std::string_view value) {
  const std::string word = UpperAscii(value);
  if (word == "FILESAVE") return {1, 0};
  if (word == "DATESAVE") return {1, 1};
  if (word == "COPY") return {0, -1};
  return {-1, -1};
}

CaptureResult CaptureTarget(App& app, Ports& ports, int inside, int toFile,
                            int dateName) {
  const WindowHandle target = app.TargetWindow;
  // TargetWindow is the widget itself while nothing is attached.
  if (target == 0 || target == app.WidgetHandle) return {};
  const bool wasBusy = app.Busy;
  app.Busy = true;
  CaptureResult result = CaptureWindow(app, ports, target, inside, toFile, dateName);
  app.Busy = wasBusy;
  ports.widget.Redraw();
  return result;
}

CaptureResult CaptureWindow(App& app, Ports& ports, WindowHandle window,
                            int inside, int toFile, int dateName) {
  if (toFile == -1) toFile = app.settings.CaptureType;
  if (dateName == -1) dateName = app.settings.CaptureSaveType;

  ports.capture.HideWidget();
  const Bitmap picture = ports.capture.TakePicture(window, inside != 0);
  ports.capture.ShowWidget();
  // A minimized window's inside, or a window that went away: there is nothing
  // to keep, and the clipboard and the files stay as they are.
  if (picture.Empty()) return {};

  const WindowHandle owner = app.WidgetHandle;
  CaptureResult result;
  if (toFile == 0) {
    if (ports.capture.CopyToClipboard(picture, owner)) {
      result.outcome = CaptureOutcome::Copied;
    } else {
      result.outcome = CaptureOutcome::ClipboardUnavailable;
      ports.prompts.ShowMessage(owner, kClipboardFailed, kDisplayName,
                                  kMbOk | kMbIconExclamation);
    }
    return result;
  }

  const SaveResult saved =
      SaveCapture(app, ports, picture, dateName, owner);
  result.path = saved.path;
  switch (saved.outcome) {
    case SaveOutcome::Saved:
      result.outcome = CaptureOutcome::Saved;
      break;
    case SaveOutcome::WriteFailed:
      result.outcome = CaptureOutcome::WriteFailed;
      break;
    case SaveOutcome::Declined:
      result.outcome = CaptureOutcome::Declined;
      break;
  }
  return result;
}

}  // namespace tomari
