#pragma once
// The settings file engine: the behaviour of the Windows ANSI private-profile functions over a
// file in code page 932. All texts in and out are UTF-8.
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sayolt {

// A file could not be read or written, a text has no code page 932 form, or a name or value
// would corrupt the file. Nothing was written when this is thrown.
class IniError : public std::runtime_error {
 public:
  // What went wrong, so that a window can say it in its own words.
  enum class Kind { Other, Unreadable, TooLarge, Unwritable, NoCodePage932Form, CannotStore };

  using std::runtime_error::runtime_error;
  IniError(Kind kind, std::string subject, const std::string& detail)
      : std::runtime_error(detail), kind_(kind), subject_(std::move(subject)) {}

  Kind kind() const { return kind_; }
  // The file (UTF-8 path) or the text that the error is about.
  const std::string& subject() const { return subject_; }

 private:
  Kind kind_ = Kind::Other;
  std::string subject_;
};

// One parse of the file as it was when loaded; serves a whole load with one read.
class IniSnapshot {
 public:
  IniSnapshot();
  ~IniSnapshot();
  IniSnapshot(IniSnapshot&&) noexcept;
  IniSnapshot& operator=(IniSnapshot&&) noexcept;

  // A missing file loads as a file without keys. Throws IniError when it exists but cannot be read.
  static IniSnapshot load(const std::filesystem::path& path);
  static IniSnapshot fromBytes(std::string_view cp932Bytes);

  // GetPrivateProfileStringA with an empty default and a 255-byte buffer.
  std::string get(std::string_view section, std::string_view key) const;
  // GetPrivateProfileSectionA with a 1024-byte buffer: "name=value" entries in file order.
  std::vector<std::string> getSection(std::string_view section) const;
  // Every "name=value" entry of the section in file order, however long the section is.
  std::vector<std::string> getWholeSection(std::string_view section) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Writes to make as one replacement of the file; applied in order, with the same result as the
// same calls made one by one.
class IniBatch {
 public:
  // WritePrivateProfileStringA(section, key, value).
  IniBatch& set(std::string section, std::string key, std::string value);
  // WritePrivateProfileStringA(section, key, NULL).
  IniBatch& deleteKey(std::string section, std::string key);
  // WritePrivateProfileStringA(section, NULL, NULL).
  IniBatch& deleteSection(std::string section);
  // WritePrivateProfileSectionA(section, "k=v\0k=v\0\0"); entries without "=" are not written.
  IniBatch& setSection(std::string section, std::vector<std::string> entries);
  bool empty() const { return ops_.empty(); }

  struct Op {
    enum class Kind { Set, DeleteKey, DeleteSection, SetSection } kind;
    std::string section;
    std::string key;
    std::string value;
    std::vector<std::string> entries;
  };
  const std::vector<Op>& ops() const { return ops_; }

 private:
  std::vector<Op> ops_;
};

// The settings file on disk. Every write starts from the file as it is on disk at that moment
// and replaces it atomically; a write that changes nothing leaves the file untouched.
class IniFile {
 public:
  explicit IniFile(std::filesystem::path path);
  const std::filesystem::path& path() const { return path_; }

  IniSnapshot snapshot() const { return IniSnapshot::load(path_); }
  std::string get(std::string_view section, std::string_view key) const;
  std::vector<std::string> getSection(std::string_view section) const;

  void set(std::string section, std::string key, std::string value);
  void deleteKey(std::string section, std::string key);
  void deleteSection(std::string section);
  void setSection(std::string section, std::vector<std::string> entries);
  void apply(const IniBatch& batch);
  // Works out the writes from the file as it is now and applies them to those very bytes, so that
  // a read-modify-write keeps what another program wrote up to that moment. Returns false when
  // change returned nullopt (nothing to write).
  bool update(const std::function<std::optional<IniBatch>(const IniSnapshot&)>& change);
  // Whether the last write had to rewrite the file in place (no temporary file could be made
  // in its folder), so the caller can note it.
  bool lastWriteInPlace() const { return lastWriteInPlace_; }

 private:
  std::filesystem::path path_;
  bool lastWriteInPlace_ = false;
};

// The bytes that the batch turns the given file content into (pure; used by IniFile::apply).
// Throws IniError on a text without a code page 932 form or a name or value that would corrupt the file.
std::string applyToBytes(std::string_view cp932Bytes, const IniBatch& batch);

}  // namespace sayolt
