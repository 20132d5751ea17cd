#include "platform/file_replace.h"

#include <windows.h>

#include <atomic>
#include <string>
#include <system_error>

#include "platform/windows/win_text.h"

namespace sayolt {

namespace {

std::string displayName(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

// Win32 error texts in UTF-8, like every other text of the programs; the system category gives
// them in the ANSI code page.
class Win32Category : public std::error_category {
 public:
  const char* name() const noexcept override { return "win32"; }
  std::string message(int code) const override {
    wchar_t* text = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message(text ? text : L"", length);
    LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
      message.pop_back();
    return message.empty() ? "error " + std::to_string(code) : narrow(message);
  }
  // So that callers can tell a full disk without knowing Win32 codes.
  std::error_condition default_error_condition(int code) const noexcept override {
    if (code == ERROR_DISK_FULL || code == ERROR_HANDLE_DISK_FULL) return std::errc::no_space_on_device;
    return std::error_condition(code, *this);
  }
};

[[noreturn]] void fail(DWORD error, const std::string& what, const std::filesystem::path& path) {
  static const Win32Category category;
  throw std::system_error(static_cast<int>(error), category, what + " " + displayName(path));
}

// A reader that has the file open for a moment (the scheduler loading it, a virus scanner) makes
// Windows refuse the rename; it is tried again for up to two seconds before the save fails.
constexpr int kRenameAttempts = 20;
constexpr DWORD kRenameRetryMs = 100;

bool renameOver(const std::filesystem::path& from, const std::filesystem::path& to) {
  for (int attempt = 1;; ++attempt) {
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    const DWORD error = GetLastError();
    if (attempt == kRenameAttempts || (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION)) {
      SetLastError(error);
      return false;
    }
    Sleep(kRenameRetryMs);
  }
}

// Closes the handle and deletes the temporary file unless the replacement went through.
class TempFile {
 public:
  TempFile(std::filesystem::path path, HANDLE handle) : path_(std::move(path)), handle_(handle) {}
  ~TempFile() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    if (!committed_) DeleteFileW(path_.c_str());
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  HANDLE handle() const { return handle_; }
  const std::filesystem::path& path() const { return path_; }
  bool close() {
    const BOOL ok = CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    return ok != FALSE;
  }
  void commit() { committed_ = true; }

 private:
  std::filesystem::path path_;
  HANDLE handle_;
  bool committed_ = false;
};

// No temporary file could be made beside the target.
struct NoTempFile {};

// Unique per process and call, so concurrent writers never share a temporary file.
TempFile createTempFile(const std::filesystem::path& target) {
  static std::atomic<unsigned> counter{0};
  const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : L".";
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::wstring name = L"." + target.filename().wstring() + L"." + std::to_wstring(GetCurrentProcessId()) + L"." +
                        std::to_wstring(counter.fetch_add(1)) + L".tmp";
    std::filesystem::path path = folder / name;
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) return TempFile(std::move(path), handle);
    const DWORD error = GetLastError();
    if (error == ERROR_ACCESS_DENIED) throw NoTempFile{};
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
      fail(error, "cannot create a temporary file beside", target);
    }
  }
  fail(ERROR_FILE_EXISTS, "cannot create a temporary file beside", target);
}

void writeAll(HANDLE handle, std::string_view bytes, const std::filesystem::path& target) {
  while (!bytes.empty()) {
    const DWORD chunk = bytes.size() > 0x10000000 ? 0x10000000 : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!WriteFile(handle, bytes.data(), chunk, &written, nullptr)) {
      fail(GetLastError(), "cannot write", target);
    }
    bytes.remove_prefix(written);
  }
}

// Where the folder may not be written but the file may: not atomic, but written and flushed.
void rewriteInPlace(const std::filesystem::path& target, std::string_view bytes) {
  HANDLE handle = CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) fail(GetLastError(), "cannot write", target);
  struct Close {
    HANDLE handle;
    ~Close() { CloseHandle(handle); }
  } closer{handle};
  writeAll(handle, bytes, target);
  if (!SetEndOfFile(handle)) fail(GetLastError(), "cannot write", target);
  if (!FlushFileBuffers(handle)) fail(GetLastError(), "cannot flush", target);
}

void replaceThroughTempFile(const std::filesystem::path& target, std::string_view bytes) {
  // Windows refuses to replace a read-only file, and some file systems (Wine's) would not: a file
  // the user protected is never overwritten.
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
    fail(ERROR_ACCESS_DENIED, "cannot replace a read-only file", target);
  TempFile temp = createTempFile(target);
  writeAll(temp.handle(), bytes, target);
  if (!FlushFileBuffers(temp.handle())) fail(GetLastError(), "cannot flush", target);
  if (!temp.close()) fail(GetLastError(), "cannot write", target);
  if (!renameOver(temp.path(), target)) fail(GetLastError(), "cannot replace", target);
  temp.commit();
}

}  // namespace

FileReplacement replaceFileAtomically(const std::filesystem::path& target, std::string_view bytes) {
  try {
    replaceThroughTempFile(target, bytes);
    return FileReplacement::Atomic;
  } catch (const NoTempFile&) {
    rewriteInPlace(target, bytes);
    return FileReplacement::InPlace;
  }
}

}  // namespace sayolt
