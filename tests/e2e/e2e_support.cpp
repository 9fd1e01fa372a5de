#include "e2e/e2e_support.h"

#include <shellapi.h>

#include <fstream>
#include <iterator>
#include <vector>

namespace e2e {

namespace {

std::wstring ModuleDir() {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring p(path, n);
  return p.substr(0, p.find_last_of(L"\\/") + 1);
}

void CopyTree(const std::wstring& from, const std::wstring& to) {
  CreateDirectoryW(to.c_str(), nullptr);
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((from + L"*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    std::wstring name = fd.cFileName;
    if (name == L"." || name == L"..") continue;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      CopyTree(from + name + L"\\", to + name + L"\\");
    else
      CopyFileW((from + name).c_str(), (to + name).c_str(), FALSE);
  } while (FindNextFileW(h, &fd));
  FindClose(h);
}

void DeleteTree(const std::wstring& dir) {
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((dir + L"*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = fd.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring full = dir + name;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        DeleteTree(full + L"\\");
      } else {
        SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(full.c_str());
      }
    } while (FindNextFileW(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryW(dir.c_str());
}

struct FindArgs {
  DWORD pid;
  const wchar_t* cls;
  HWND found;
  int count;
};

BOOL CALLBACK FindProc(HWND h, LPARAM lp) {
  auto* a = reinterpret_cast<FindArgs*>(lp);
  wchar_t cls[256];
  GetClassNameW(h, cls, 256);
  if (wcscmp(cls, a->cls) != 0) return TRUE;
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  if (a->pid != 0 && pid != a->pid) return TRUE;
  if (!IsWindowVisible(h)) return TRUE;
  ++a->count;
  if (!a->found) a->found = h;
  return TRUE;
}

}  // namespace

std::wstring FullPath(const std::wstring& p) {
  wchar_t buf[MAX_PATH];
  DWORD n = GetFullPathNameW(p.c_str(), MAX_PATH, buf, nullptr);
  return n ? std::wstring(buf, n) : p;
}

std::wstring TestBinDir() { return ModuleDir(); }
std::wstring DistDir() { return FullPath(ModuleDir() + L"..\\Tomari\\"); }

std::wstring MakeProgramCopy(const std::wstring& name) {
  std::wstring root = FullPath(ModuleDir() + L"..\\e2e-work\\");
  CreateDirectoryW(root.c_str(), nullptr);
  std::wstring dir = root + name + L"\\";
  DeleteTree(dir);
  CopyTree(DistDir(), dir);
  return dir;
}

std::string ReadFileBytes(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void Pump(DWORD ms) {
  DWORD end = GetTickCount() + ms;
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    DWORD now = GetTickCount();
    if (static_cast<LONG>(end - now) <= 0) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, end - now, QS_ALLINPUT);
  }
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  DWORD end = GetTickCount() + timeoutMs;
  while (!done()) {
    if (static_cast<LONG>(end - GetTickCount()) <= 0) return done();
    Pump(20);
  }
  return true;
}

Process::~Process() {
  Kill();
  if (pi_.hThread) CloseHandle(pi_.hThread);
  if (pi_.hProcess) CloseHandle(pi_.hProcess);
}

bool Process::Start(const std::wstring& exe, const std::wstring& args) {
  std::wstring cmd = L"\"" + exe + L"\" " + args;
  std::wstring dir = exe.substr(0, exe.find_last_of(L"\\/") + 1);
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  return CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        dir.c_str(), &si, &pi_) != FALSE;
}

bool Process::WaitExit(DWORD timeoutMs) {
  if (!pi_.hProcess) return true;
  DWORD end = GetTickCount() + timeoutMs;
  for (;;) {
    DWORD left = static_cast<LONG>(end - GetTickCount()) > 0 ? end - GetTickCount() : 0;
    DWORD r = MsgWaitForMultipleObjects(1, &pi_.hProcess, FALSE, left, QS_ALLINPUT);
    if (r == WAIT_OBJECT_0) return true;
    if (r == WAIT_TIMEOUT) return false;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

bool Process::Running() const {
  return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
}

void Process::Kill() {
  if (Running()) {
    TerminateProcess(pi_.hProcess, 1);
    WaitForSingleObject(pi_.hProcess, 5000);
  }
}

HWND WaitForWindow(DWORD pid, const wchar_t* className, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        FindArgs a{pid, className, nullptr, 0};
        EnumWindows(FindProc, reinterpret_cast<LPARAM>(&a));
        found = a.found;
        return found != nullptr;
      },
      timeoutMs);
  return found;
}

int CountWindows(const wchar_t* className) {
  FindArgs a{0, className, nullptr, 0};
  EnumWindows(FindProc, reinterpret_cast<LPARAM>(&a));
  return a.count;
}

RECT WindowRect(HWND h) {
  RECT r{};
  GetWindowRect(h, &r);
  return r;
}

HWND StartTarget(Process& p, const std::wstring& args) {
  if (!p.Start(TestBinDir() + L"target_app.exe", args)) return nullptr;
  HWND h = WaitForWindow(p.Id(), L"TomariTestTarget", 10000);
  Pump(200);
  return h;
}

void SaveScreenshot(const std::wstring& name) {
  // The test script photographs the X display when a request file appears and
  // removes the file when the picture is taken.
  wchar_t dir[MAX_PATH];
  DWORD n = GetEnvironmentVariableW(L"WINE_GTEST_SHOTS", dir, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return;
  std::wstring folder(dir, n);
  // A Unix path from the script: Z: is the whole Unix file system.
  if (!folder.empty() && folder[0] == L'/') {
    for (auto& c : folder)
      if (c == L'/') c = L'\\';
    folder = L"Z:" + folder;
  }
  std::wstring request = folder + L"\\" + name + L".request";
  Pump(300);  // let every window finish painting
  WriteFileBytes(request, "");
  WaitUntil([&] { return GetFileAttributesW(request.c_str()) == INVALID_FILE_ATTRIBUTES; }, 10000);
}

}  // namespace e2e
