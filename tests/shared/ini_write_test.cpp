// Writing: the bytes that WritePrivateProfileStringA and WritePrivateProfileSectionA leave.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "shared/ini_file.h"
#include "tests/shared/ini_test_support.h"

namespace sayolt {
namespace {

using test::cat;

std::string applied(std::string_view before, const IniBatch& batch) { return applyToBytes(before, batch); }

TEST(IniWrite, DocumentedSequence_ExactBytes) {
  test::TempFolder folder;
  const auto path = folder / "s.ini";
  IniFile file(path);
  file.set("Sched", "Mon", "08:30");
  EXPECT_EQ(test::readBytes(path), "[Sched]\r\nMon=08:30\r\n");
  file.set("Sched", "Tue", "09:00");
  EXPECT_EQ(test::readBytes(path), "[Sched]\r\nMon=08:30\r\nTue=09:00\r\n");
  file.set("Other", "k", "v");
  EXPECT_EQ(test::readBytes(path), "[Sched]\r\nMon=08:30\r\nTue=09:00\r\n[Other]\r\nk=v\r\n");
  file.set("Sched", "Mon", "07:45");
  EXPECT_EQ(test::readBytes(path), "[Sched]\r\nMon=07:45\r\nTue=09:00\r\n[Other]\r\nk=v\r\n");
  file.deleteKey("Other", "k");
  EXPECT_EQ(test::readBytes(path), "[Sched]\r\nMon=07:45\r\nTue=09:00\r\n[Other]\r\n");
  file.deleteSection("Other");
  EXPECT_EQ(test::readBytes(path), "[Sched]\r\nMon=07:45\r\nTue=09:00\r\n");
}

TEST(IniWrite, NewSection_AppendedAfterLastLine) {
  EXPECT_EQ(applied("[s]\r\nk=v", IniBatch().set("t", "a", "b")), "[s]\r\nk=v\r\n[t]\r\na=b\r\n");
  EXPECT_EQ(applied("[s]\nk=v\n\n;end\n", IniBatch().set("t", "a", "b")), "[s]\nk=v\n\n;end\n[t]\r\na=b\r\n");
  EXPECT_EQ(applied("", IniBatch().set(" t ", " a ", " b ")), "[t]\r\na= b \r\n");
}

TEST(IniWrite, NewKey_AfterLastEntryOfFirstSection) {
  EXPECT_EQ(applied("[s]\r\na=1\r\n;note\r\nb=2\r\n\r\n;about t\r\n[t]\r\nx=1\r\n[s]\r\nz=9\r\n",
                    IniBatch().set("S", "c", "3")),
            "[s]\r\na=1\r\n;note\r\nb=2\r\nc=3\r\n\r\n;about t\r\n[t]\r\nx=1\r\n[s]\r\nz=9\r\n");
  EXPECT_EQ(applied("[s]\r\n\r\n[t]\r\n", IniBatch().set("s", "c", "3")), "[s]\r\nc=3\r\n\r\n[t]\r\n");
  EXPECT_EQ(applied("[s]", IniBatch().set("s", "c", "3")), "[s]\r\nc=3\r\n");
  EXPECT_EQ(applied("[s]\r\na=1", IniBatch().set("s", "c", "3")), "[s]\r\na=1\r\nc=3\r\n");
}

TEST(IniWrite, ChangedValue_RewrittenInPlaceWithStoredSpelling) {
  EXPECT_EQ(applied("x\n[Sched]\n  MON = old ;c\nTue=1\r[t]\n", IniBatch().set("sched", "mon", "new")),
            "x\n[Sched]\nMON=new\nTue=1\r[t]\n");
  EXPECT_EQ(applied("[s]\r\nflag\r\n", IniBatch().set("s", "flag", "")), "[s]\r\nflag=\r\n");
  EXPECT_EQ(applied("[s]\r\nk=v", IniBatch().set("s", "k", "w")), "[s]\r\nk=w");
  EXPECT_EQ(applied("[s]\r\nk=1\r\nk=2\r\n", IniBatch().set("s", "k", "3")), "[s]\r\nk=3\r\nk=2\r\n");
  // The stored name keeps its bytes even where decoding and encoding would not give them back
  // (0xED40 is an NEC-selected duplicate of 0xFA5C).
  EXPECT_EQ(applied("[s]\r\n\xED\x40=1\r\n", IniBatch().set("s", "纊", "2")), "[s]\r\n\xED\x40=2\r\n");
}

TEST(IniWrite, SameValue_BytesUnchanged) {
  const std::string file = "[s]\r\n k = v \r\n\r\n";
  EXPECT_EQ(applied(file, IniBatch().set("s", "k", "v")), file);
  EXPECT_EQ(applied(file, IniBatch().setSection("s", {"k= v "})), "[s]\r\nk= v \r\n\r\n");
}

TEST(IniWrite, UntouchedLines_KeptByteForByte) {
  // Bytes that decode to nothing (0x80, 0xA0, 0xFF, a lead byte before a blank) and NEC/IBM
  // duplicates stay as they are when another line changes.
  const std::string odd = "junk\x80\xA0\xFF\x81 \r\n[s]\r\nn=\xED\x40\xFA\x5C\xEE\xF9\r\nk=1\n;\x81\r\n";
  EXPECT_EQ(applied(odd, IniBatch().set("s", "k", "2")),
            "junk\x80\xA0\xFF\x81 \r\n[s]\r\nn=\xED\x40\xFA\x5C\xEE\xF9\r\nk=2\n;\x81\r\n");
}

TEST(IniWrite, SpecialCharacters_EncodedAsCodePage932) {
  const std::string written =
      applied("", IniBatch().set("起動終了時刻", "パス0", "C:\\Tools\\表計算.exe").set("祝日", "登録日1", "①㈱～"));
  EXPECT_EQ(written, cat({"[", test::kStartEnd,
                          "]\r\n\x83\x70\x83\x58"
                          "0=C:\\Tools\\",
                          test::kHyou, "\x8C\x76\x8E\x5A.exe\r\n[", test::kHoliday, "]\r\n", test::kRegistered1, "=",
                          test::kCircled1, test::kKabu, test::kWave, "\r\n"}));
  const IniSnapshot back = IniSnapshot::fromBytes(written);
  EXPECT_EQ(back.get("起動終了時刻", "パス0"), "C:\\Tools\\表計算.exe");
  EXPECT_EQ(back.get("祝日", "登録日1"), "①㈱～");
}

TEST(IniWrite, DeleteKey_HeaderStaysAndMissingKeyChangesNothing) {
  EXPECT_EQ(applied("[s]\r\nk=1\r\n[t]\r\n", IniBatch().deleteKey("S", "K")), "[s]\r\n[t]\r\n");
  EXPECT_EQ(applied("[s]\r\nk=1\r\nk=2\r\n", IniBatch().deleteKey("s", "k")), "[s]\r\nk=2\r\n");
  EXPECT_EQ(applied("[s]\r\nk=1\r\n", IniBatch().deleteKey("s", "x").deleteKey("x", "k")), "[s]\r\nk=1\r\n");
  EXPECT_EQ(applied("[s]\r\na=1\r\nk=v", IniBatch().deleteKey("s", "k")), "[s]\r\na=1\r\n");
}

TEST(IniWrite, DeleteSection_RemovesEverythingUpToNextHeader) {
  EXPECT_EQ(applied("top\r\n[a]\r\n1=1\r\n[s]\r\nk=1\r\n;c\r\n\r\n[t]\r\nx=1\r\n[s]\r\nk=2\r\n",
                    IniBatch().deleteSection(" S ")),
            "top\r\n[a]\r\n1=1\r\n[t]\r\nx=1\r\n[s]\r\nk=2\r\n");
  EXPECT_EQ(applied("[a]\r\n", IniBatch().deleteSection("s")), "[a]\r\n");
}

TEST(IniWrite, SetSection_ReplacesEntriesAndKeepsHeader) {
  const std::string file = "[Holiday] ;x\r\nold1=a\r\n;c\r\nold2=b\r\n\r\n;next\r\n[t]\r\nk=v\r\n";
  EXPECT_EQ(applied(file, IniBatch().setSection("holiday", {"d1=2025/1/1", "skipped", " d2 =2025/1/2"})),
            "[Holiday] ;x\r\nd1=2025/1/1\r\nd2=2025/1/2\r\n\r\n;next\r\n[t]\r\nk=v\r\n");
  EXPECT_EQ(applied(file, IniBatch().setSection("Holiday", {})), "[Holiday] ;x\r\n\r\n;next\r\n[t]\r\nk=v\r\n");
  EXPECT_EQ(applied("[t]\r\nk=v", IniBatch().setSection("u", {"a=1", "b="})), "[t]\r\nk=v\r\n[u]\r\na=1\r\nb=\r\n");
  EXPECT_EQ(applied("", IniBatch().setSection("u", {})), "[u]\r\n");
  EXPECT_EQ(applied("[u]", IniBatch().setSection("u", {"a=1"})), "[u]\r\na=1\r\n");
}

TEST(IniWrite, CorruptingNamesAndValues_RefusedWithNothingWritten) {
  test::TempFolder folder;
  const auto path = folder / "s.ini";
  const std::string original = "[s]\r\nk=v\r\n";
  test::writeBytes(path, original);
  IniFile file(path);
  const std::vector<IniBatch> refused = {
      IniBatch().set("a]b", "k", "v"),
      IniBatch().set("a\nb", "k", "v"),
      IniBatch().set("", "k", "v"),
      IniBatch().set("s", "k=x", "v"),
      IniBatch().set("s", ";k", "v"),
      IniBatch().set("s", "[k", "v"),
      IniBatch().set("s", "k\r", "v"),
      IniBatch().set("s", " ", "v"),
      IniBatch().set("s", "k", "line\r\nnext"),
      IniBatch().set("s", "k", std::string("a\0b", 3)),
      IniBatch().setSection("s", {"a=1", "b=x\ny"}),
      IniBatch().set("s", "new", "ok").set("s", "k", "two\nlines"),
      // No code page 932 form: the yen sign (Windows would store a backslash), U+301C (would come
      // back as U+FF5E), an emoji, a broken UTF-8 sequence.
      IniBatch().set("s", "k", "¥100"),
      IniBatch().set("s", "k", "〜"),
      IniBatch().set("s", "k", "😀"),
      IniBatch().set("s", "k", "\xE3\x81"),
      IniBatch().set("s", "ｋ😀", "v"),
      IniBatch().deleteKey("s", "😀"),
  };
  for (const IniBatch& batch : refused) {
    EXPECT_THROW(file.apply(batch), IniError);
    EXPECT_EQ(test::readBytes(path), original);
  }
  // The kind and the text let a window name the field in its own words.
  try {
    file.set("s", "k", "한글メモ");
    ADD_FAILURE() << "Hangul stored in code page 932";
  } catch (const IniError& e) {
    EXPECT_EQ(e.kind(), IniError::Kind::NoCodePage932Form);
    EXPECT_EQ(e.subject(), "한글メモ");
  }
  try {
    file.set("s", "k", "a\nb");
    ADD_FAILURE() << "a line break stored in a value";
  } catch (const IniError& e) {
    EXPECT_EQ(e.kind(), IniError::Kind::CannotStore);
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

TEST(IniWrite, UnchangedWrite_LeavesFileUntouched) {
  test::TempFolder folder;
  const auto path = folder / "s.ini";
  test::writeBytes(path, "[s]\r\nk = v\r\n");
  // Whole seconds: Windows keeps file times in steps of 100 ns, finer ones would not read back equal.
  const auto old = std::chrono::floor<std::chrono::seconds>(std::filesystem::file_time_type::clock::now() -
                                                            std::chrono::hours(24 * 400));
  std::filesystem::last_write_time(path, old);
  IniFile file(path);
  file.set("S", "K", "v");
  file.deleteKey("s", "missing");
  file.deleteSection("missing");
  EXPECT_EQ(std::filesystem::last_write_time(path), old);
  EXPECT_EQ(test::readBytes(path), "[s]\r\nk = v\r\n");
  file.set("s", "k", "w");
  EXPECT_NE(std::filesystem::last_write_time(path), old);
}

TEST(IniWrite, DeleteOnMissingFile_CreatesNothing) {
  test::TempFolder folder;
  IniFile file(folder / "none.ini");
  file.deleteKey("s", "k");
  file.deleteSection("s");
  EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

TEST(IniWrite, Batch_SameBytesAsCallsOneByOne) {
  IniBatch batch;
  batch.set("sched", "Tue", "2")
      .set("Sched", "Mon", "0")
      .set("new", "a", "1")
      .deleteKey("t", "k")
      .setSection("祝日", {"登録日1=2025/1/1", "登録日2=2025/1/2"})
      .set("t", "k", "again")
      .deleteSection("new")
      .set("Sched", "Wed", "3")
      .setSection("不在", {"登録日1=2025/2/1"})
      .set("不在", "登録日2", "2025/2/2")
      .deleteKey("不在", "登録日1");

  test::TempFolder folder;
  const auto one = folder / "one.ini";
  const auto each = folder / "each.ini";
  test::writeBytes(one, "lead\n[Sched]\nMon=1\n;c\n\n[\x8F\x6A\x93\xFA]\r\nx=1\r\n[t]\r\nk=v");
  test::writeBytes(each, test::readBytes(one));
  IniFile(one).apply(batch);
  IniFile eachFile(each);
  for (const IniBatch::Op& op : batch.ops()) {
    switch (op.kind) {
      case IniBatch::Op::Kind::Set:
        eachFile.set(op.section, op.key, op.value);
        break;
      case IniBatch::Op::Kind::DeleteKey:
        eachFile.deleteKey(op.section, op.key);
        break;
      case IniBatch::Op::Kind::DeleteSection:
        eachFile.deleteSection(op.section);
        break;
      case IniBatch::Op::Kind::SetSection:
        eachFile.setSection(op.section, op.entries);
        break;
    }
  }
  EXPECT_EQ(test::readBytes(one), test::readBytes(each));
  EXPECT_EQ(test::readBytes(one),
            cat({"lead\n[Sched]\nMon=0\nTue=2\r\nWed=3\r\n;c\n\n[", test::kHoliday, "]\r\n", test::kRegistered1,
                 "=2025/1/1\r\n\x93\x6F\x98\x5E\x93\xFA"
                 "2=2025/1/2\r\n[t]\r\nk=again\r\n[\x95\x73\x8D\xDD]\r\n",
                 "\x93\x6F\x98\x5E\x93\xFA"
                 "2=2025/2/2\r\n"}));
}

TEST(IniWrite, KeyOfAnotherWriter_KeptBetweenOurWrites) {
  test::TempFolder folder;
  const auto path = folder / "s.ini";
  IniFile ours(path);
  IniFile theirs(path);
  ours.set("s", "a", "1");
  theirs.set("不在", "登録日1", "2025/3/1");
  ours.apply(IniBatch().set("s", "a", "2").set("s", "b", "3"));
  EXPECT_EQ(test::readBytes(path),
            "[s]\r\na=2\r\nb=3\r\n[\x95\x73\x8D\xDD]\r\n\x93\x6F\x98\x5E\x93\xFA"
            "1=2025/3/1\r\n");
}

// A read-modify-write works out its change from the bytes it then replaces: what the other
// program stored up to that moment is what the change is made against.
TEST(IniWrite, UpdateChangesTheFileAsItIsNow_NothingWhenTheChangeIsNone) {
  test::TempFolder folder;
  const auto path = folder / "s.ini";
  IniFile ours(path);
  test::writeBytes(path, "[s]\r\nn=1\r\n");
  const auto increment = [](const IniSnapshot& ini) {
    return std::optional<IniBatch>(IniBatch().set("s", "n", std::to_string(std::stoi(ini.get("s", "n")) + 1)));
  };
  EXPECT_TRUE(ours.update(increment));
  test::writeBytes(path, "[s]\r\nn=7\r\n");  // the other program
  EXPECT_TRUE(ours.update(increment));
  EXPECT_EQ(test::readBytes(path), "[s]\r\nn=8\r\n");

  EXPECT_FALSE(ours.update([](const IniSnapshot&) { return std::optional<IniBatch>(); }));
  EXPECT_EQ(test::readBytes(path), "[s]\r\nn=8\r\n");
  IniFile missing(folder / "missing.ini");
  EXPECT_TRUE(missing.update([](const IniSnapshot&) { return std::optional<IniBatch>(IniBatch()); }));
  EXPECT_FALSE(std::filesystem::exists(folder / "missing.ini"));
}

}  // namespace
}  // namespace sayolt
