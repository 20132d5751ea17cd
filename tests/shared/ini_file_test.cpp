// Reading: what GetPrivateProfileStringA and GetPrivateProfileSectionA return for given bytes.
#include "shared/ini_file.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "tests/shared/ini_test_support.h"

namespace sayolt {
namespace {

using test::cat;
using Entries = std::vector<std::string>;

std::string get(std::string_view bytes, std::string_view section, std::string_view key) {
  return IniSnapshot::fromBytes(bytes).get(section, key);
}

TEST(IniRead, ValuesAndNames_BlanksTrimmed) {
  const std::string file = "[ Sched ]\r\n  Mon  =  08:30  \r\nTue=\r\nWed\r\nexpr=a=b;c\r\n";
  EXPECT_EQ(get(file, "Sched", "Mon"), "08:30");
  EXPECT_EQ(get(file, "Sched", "Tue"), "");
  EXPECT_EQ(get(file, "Sched", "Wed"), "");
  EXPECT_EQ(get(file, "Sched", "expr"), "a=b;c");
  EXPECT_EQ(get(file, " Sched ", " Mon "), "08:30");
  EXPECT_EQ(get(file, "Sched", "Thu"), "");
  EXPECT_EQ(get(file, "Other", "Mon"), "");
  EXPECT_EQ(IniSnapshot::fromBytes(file).getSection("Sched"), (Entries{"Mon=08:30", "Tue=", "Wed", "expr=a=b;c"}));
}

TEST(IniRead, LineBreaks_CrLfLfCrAndMixedReadTheSame) {
  for (const std::string& file :
       {std::string("[s]\r\na=1\r\nb=2\r\n[t]\r\nc=3"), std::string("[s]\na=1\nb=2\n[t]\nc=3\n"),
        std::string("[s]\ra=1\rb=2\r[t]\rc=3\r"), std::string("[s]\r\na=1\nb=2\r[t]\n\rc=3")}) {
    SCOPED_TRACE(file);
    const IniSnapshot snapshot = IniSnapshot::fromBytes(file);
    EXPECT_EQ(snapshot.get("s", "a"), "1");
    EXPECT_EQ(snapshot.get("s", "b"), "2");
    EXPECT_EQ(snapshot.get("t", "c"), "3");
    EXPECT_EQ(snapshot.getSection("s"), (Entries{"a=1", "b=2"}));
  }
}

TEST(IniRead, CommentsAndLinesBeforeFirstHeader_NeverReturned) {
  const std::string file = "a=0\r\n;intro\r\n[s]\r\n;a=1\r\n  ; b=2\r\na=3\r\n\r\n";
  EXPECT_EQ(get(file, "s", "a"), "3");
  EXPECT_EQ(get(file, "s", ";a"), "");
  EXPECT_EQ(get(file, "", "a"), "");
  EXPECT_EQ(IniSnapshot::fromBytes(file).getSection("s"), (Entries{"a=3"}));
}

TEST(IniRead, Quotes_OnePairRemovedByKeyReadOnly) {
  const std::string file =
      "[q]\r\nx = \"quoted value\" \r\ns='single'\r\nmixed=\"a'\r\none=\"\r\nempty=\"\"\r\ntwice=\"\"x\"\"\r\n"
      "inner=a\"b\"\r\n";
  EXPECT_EQ(get(file, "q", "x"), "quoted value");
  EXPECT_EQ(get(file, "q", "s"), "single");
  EXPECT_EQ(get(file, "q", "mixed"), "\"a'");
  EXPECT_EQ(get(file, "q", "one"), "\"");
  EXPECT_EQ(get(file, "q", "empty"), "");
  EXPECT_EQ(get(file, "q", "twice"), "\"x\"");
  EXPECT_EQ(get(file, "q", "inner"), "a\"b\"");
  EXPECT_EQ(IniSnapshot::fromBytes(file).getSection("q").front(), "x=\"quoted value\"");
}

TEST(IniRead, LongValue_CutTo254BytesWithoutSplittingACharacter) {
  EXPECT_EQ(get("[s]\r\nk=" + std::string(300, 'x') + "\r\n", "s", "k"), std::string(254, 'x'));
  // A double-byte character straddling byte 254 is left out whole.
  const std::string straddling = std::string(253, 'x') + std::string(test::kA) + "yy";
  EXPECT_EQ(get("[s]\r\nk=" + straddling + "\r\n", "s", "k"), std::string(253, 'x'));
  // One that ends at byte 254 stays; "あ" is three bytes in UTF-8 but two on disk.
  EXPECT_EQ(get("[s]\r\nk=" + std::string(252, 'x') + std::string(test::kA) + "z\r\n", "s", "k"),
            std::string(252, 'x') + "あ");
  // Half-width katakana take one byte each.
  std::string halfWidth;
  for (int i = 0; i < 260; ++i) halfWidth += test::kHalfA;
  std::string expected;
  for (int i = 0; i < 254; ++i) expected += "ｱ";
  EXPECT_EQ(get("[s]\r\nk=" + halfWidth, "s", "k"), expected);
  // The quotes go first, then the cut.
  EXPECT_EQ(get("[s]\r\nk=\"" + std::string(254, 'q') + "\"\r\n", "s", "k"), std::string(254, 'q'));
}

// Ten entries of 100 bytes take 1010 bytes with their NULs; the eleventh decides the cut.
std::string tenLongEntries() {
  std::string file = "[d]\r\n";
  for (int i = 0; i < 10; ++i) file += "k" + std::to_string(i) + "=" + std::string(97, 'v') + "\r\n";
  return file;
}

TEST(IniRead, SectionRead_CutTo1024ByteBuffer) {
  const std::string head = tenLongEntries();
  const Entries ten = IniSnapshot::fromBytes(head).getSection("d");
  ASSERT_EQ(ten.size(), 10u);
  EXPECT_EQ(ten[9], "k9=" + std::string(97, 'v'));
  // 1010 + 13 + the final NUL = 1024: fits exactly.
  Entries entries = IniSnapshot::fromBytes(head + "k10=12345678\r\n").getSection("d");
  ASSERT_EQ(entries.size(), 11u);
  EXPECT_EQ(entries[10], "k10=12345678");
  // One byte more: the buffer ends in two NULs, so 12 bytes of the last entry remain.
  entries = IniSnapshot::fromBytes(head + "k10=123456789\r\nk11=x\r\n").getSection("d");
  ASSERT_EQ(entries.size(), 11u);
  EXPECT_EQ(entries[10], "k10=12345678");
  // A double-byte character across the cut is left out whole.
  entries = IniSnapshot::fromBytes(head + "k10=1234567" + std::string(test::kA) + "\r\n").getSection("d");
  ASSERT_EQ(entries.size(), 11u);
  EXPECT_EQ(entries[10], "k10=1234567");
  // An entry that would start at the cut is not there at all.
  entries = IniSnapshot::fromBytes(head + "k10=1234567\r\nk11=x\r\n").getSection("d");
  ASSERT_EQ(entries.size(), 11u);
  EXPECT_EQ(entries[10], "k10=1234567");
  entries = IniSnapshot::fromBytes(head + "k10=123456\r\nk11=x\r\n").getSection("d");
  EXPECT_EQ(entries.back(), "k");
}

TEST(IniRead, Names_CaseInsensitiveForAsciiOnly) {
  const std::string file = cat({"[Sched]\r\nMON=1\r\n", test::kFullA, "=2\r\n"});
  EXPECT_EQ(get(file, "sched", "mon"), "1");
  EXPECT_EQ(get(file, "SCHED", "Mon"), "1");
  EXPECT_EQ(get(file, "Sched", "Ａ"), "2");
  EXPECT_EQ(get(file, "Sched", "ａ"), "");
}

TEST(IniRead, Duplicates_FirstSectionAndFirstKeyWin) {
  const std::string file = "[s]\r\nk=1\r\nK=2\r\n[t]\r\nk=t\r\n[S]\r\nk=3\r\nonly=4\r\n";
  EXPECT_EQ(get(file, "s", "k"), "1");
  EXPECT_EQ(get(file, "s", "only"), "");
  EXPECT_EQ(IniSnapshot::fromBytes(file).getSection("s"), (Entries{"k=1", "K=2"}));
}

TEST(IniRead, Names_FoldOnlyAToZ_InLongNamesAndManySections) {
  // Names longer than one 8-byte step, with the bytes around A..Z ("@", "[", "`", "{") and a
  // Japanese name in between, and enough sections and keys that the name tables grow.
  std::string file;
  for (int n = 0; n < 300; ++n) {
    file += "[Section@Z" + std::to_string(n) + "]\r\n";
    file += "LongKeyName_AZ@`" + std::to_string(n) + "=" + std::to_string(n) + "\r\n";
    file += cat({test::kFullA, "Key", std::to_string(n), "=j", std::to_string(n), "\r\n"});
  }
  const IniSnapshot snapshot = IniSnapshot::fromBytes(file);
  for (int n = 0; n < 300; n += 37) {
    const std::string number = std::to_string(n);
    EXPECT_EQ(snapshot.get("section@z" + number, "longkeyname_az@`" + number), number);
    EXPECT_EQ(snapshot.get("SECTION@Z" + number, "LONGKEYNAME_AZ@`" + number), number);
    EXPECT_EQ(snapshot.get("Section@Z" + number, "Ａ" + std::string("KEY") + number), "j" + number);
    // "@" and "`", "[" and "{" differ by the same bit as a letter's case, but are no case pair.
    EXPECT_EQ(snapshot.get("Section`Z" + number, "LongKeyName_AZ@`" + number), "");
    EXPECT_EQ(snapshot.get("Section@Z" + number, "LongKeyName_AZ``" + number), "");
    EXPECT_EQ(snapshot.get("Section@Z" + number, "LongKeyName_AZ@@" + number), "");
    // A key of another section is not this section's key.
    EXPECT_EQ(snapshot.get("Section@Z" + number, "LongKeyName_AZ@`" + std::to_string(n + 1)), "");
  }
  EXPECT_EQ(snapshot.get("Section@Z300", "LongKeyName_AZ@`300"), "");
  EXPECT_EQ(IniSnapshot().get("Section@Z0", "LongKeyName_AZ@`0"), "");
}

TEST(IniRead, Names_OfEveryLengthMatchOnlyWithEveryByteAlike) {
  // Lengths on both sides of each eight-byte step, every byte changed once.
  const std::string letters = "abcdefghijklmnopqrstu";
  auto name = [&](size_t length) { return letters.substr(0, length); };
  std::string file = "[s]\r\n";
  for (size_t length = 1; length <= letters.size(); ++length)
    file += name(length) + "=" + std::to_string(length) + "\r\n";
  const IniSnapshot snapshot = IniSnapshot::fromBytes(file);
  for (size_t length = 1; length <= letters.size(); ++length) {
    SCOPED_TRACE(length);
    std::string upper = name(length);
    for (char& c : upper) c = static_cast<char>(c - 'a' + 'A');
    EXPECT_EQ(snapshot.get("s", upper), std::to_string(length));
    for (size_t at = 0; at < length; ++at) {
      std::string other = name(length);
      other[at] = '#';
      // Read after the key before it, so that the entry it differs from is the one tried first.
      if (length > 1) {
        EXPECT_EQ(snapshot.get("s", name(length - 1)), std::to_string(length - 1));
      }
      EXPECT_EQ(snapshot.get("s", other), "") << other;
    }
  }
}

TEST(IniRead, Duplicates_FirstKeyWinsWhateverTheOrderOfReads) {
  const std::string file = "[s]\r\na=1\r\nk=1\r\nK=2\r\nb=3\r\nk=4\r\n[t]\r\nk=t\r\nk=u\r\n";
  const IniSnapshot snapshot = IniSnapshot::fromBytes(file);
  // In file order, each read just after the line before the duplicate.
  for (const auto& [section, key, value] :
       std::vector<std::tuple<std::string, std::string, std::string>>{{"s", "a", "1"},
                                                                      {"s", "k", "1"},
                                                                      {"s", "K", "1"},
                                                                      {"s", "b", "3"},
                                                                      {"s", "k", "1"},
                                                                      {"t", "k", "t"},
                                                                      {"t", "k", "t"},
                                                                      {"s", "b", "3"},
                                                                      {"s", "k", "1"},
                                                                      {"s", "a", "1"},
                                                                      {"t", "K", "t"}}) {
    EXPECT_EQ(snapshot.get(section, key), value) << section << " " << key;
  }
}

TEST(IniRead, LineBreaksEqualsAndBrackets_FoundAtEveryPositionInTheLine) {
  for (size_t length = 1; length <= 18; ++length) {
    SCOPED_TRACE(length);
    const std::string key(length, 'k');
    const std::string value(length, 'v');
    for (const std::string_view lineBreak : {"\r\n", "\n", "\r"}) {
      std::string file = "[" + std::string(length, 'n') + "]";
      file.append(lineBreak).append(key + "=" + value).append(lineBreak);
      file.append("[" + std::string(length, 'x')).append(lineBreak);  // no "]": an entry
      file.append(std::string(length, 'w')).append(lineBreak);        // no "=": an entry without a value
      file.append(" " + key + "2 = " + value + " ");
      const IniSnapshot snapshot = IniSnapshot::fromBytes(file);
      EXPECT_EQ(snapshot.get(std::string(length, 'n'), key), value);
      EXPECT_EQ(snapshot.get(std::string(length, 'n'), key + "2"), value);
      EXPECT_EQ(
          snapshot.getSection(std::string(length, 'n')),
          (Entries{key + "=" + value, "[" + std::string(length, 'x'), std::string(length, 'w'), key + "2=" + value}));
    }
  }
}

TEST(IniRead, TrailBytesEqualToSyntax_AreNeverSyntax) {
  // 表 ends in "\", ー in "[", ‐ in "]", ソ in "\".
  const std::string file = cat({"[", test::kHyou, test::kHyphen, "]\r\n", test::kChouon, "=", test::kSo, "\r\n",
                                test::kHyphen, "x=", test::kHyou, "\r\n"});
  EXPECT_EQ(get(file, "表‐", "ー"), "ソ");
  EXPECT_EQ(get(file, "表‐", "‐x"), "表");
  EXPECT_EQ(IniSnapshot::fromBytes(file).getSection("表‐"), (Entries{"ー=ソ", "‐x=表"}));
}

TEST(IniRead, ExtendedCharacters_DecodeAsWindowsDoes) {
  const std::string file = cat({"[", test::kStartEnd, "]\r\n", "p=C:\\Tools\\", test::kHyou,
                                "\x8C\x76\x8E\x5A.exe\r\nq=", test::kCircled1, test::kKabu, test::kWave, "\r\n"});
  EXPECT_EQ(get(file, "起動終了時刻", "p"), "C:\\Tools\\表計算.exe");
  EXPECT_EQ(get(file, "起動終了時刻", "q"), "①㈱～");
}

TEST(IniRead, DoubleByteCharacters_AfterAsciiRunsOfEveryLengthAndALoneLeadByteAtTheEnd) {
  for (size_t run = 0; run <= 17; ++run) {
    const std::string ascii(run, 'x');
    const std::string file = cat({"[s]\r\nk=", ascii, test::kHyou, ascii, test::kSo, "\r\n", ascii, "=", test::kA});
    EXPECT_EQ(get(file, "s", "k"), ascii + "表" + ascii + "ソ") << run;
    EXPECT_EQ(get(file, "s", ascii), "あ") << run;
  }
  // A lead byte without its trail byte stands for itself.
  EXPECT_EQ(get(cat({"[s]\r\nk=0123456", test::kHyou.substr(0, 1)}), "s", "k"), "0123456\uFFFD");
  EXPECT_EQ(get(cat({"[s]\r\nk=", test::kHyou.substr(0, 1), "\r\nm=1"}), "s", "m"), "1");
}

TEST(IniRead, Utf8File_JapaneseNamesMissing) {
  const std::string utf8 = "[起動終了時刻]\r\n0-0-0=8:00\r\n[Ascii]\r\nk=v\r\n";
  EXPECT_EQ(get(utf8, "起動終了時刻", "0-0-0"), "");
  EXPECT_EQ(get(utf8, "Ascii", "k"), "v");
  // The byte order mark spoils the first header.
  const std::string bom = "\xEF\xBB\xBF[Ascii]\r\nk=v\r\n[Second]\r\nk=w\r\n";
  EXPECT_EQ(get(bom, "Ascii", "k"), "");
  EXPECT_EQ(get(bom, "Second", "k"), "w");
}

TEST(IniRead, HeaderWithoutClosingBracket_IsAnEntry) {
  const std::string file = "[s]\r\n[t\r\nk=v\r\n";
  EXPECT_EQ(get(file, "s", "k"), "v");
  EXPECT_EQ(get(file, "t", "k"), "");
  EXPECT_EQ(IniSnapshot::fromBytes(file).getSection("s"), (Entries{"[t", "k=v"}));
}

TEST(IniRead, MissingFile_ReadsEmpty) {
  test::TempFolder folder;
  IniFile file(folder / "none.ini");
  EXPECT_EQ(file.get("s", "k"), "");
  EXPECT_TRUE(file.getSection("s").empty());
  EXPECT_FALSE(std::filesystem::exists(folder / "none.ini"));
}

TEST(IniRead, UnreadablePath_Throws) {
  test::TempFolder folder;
  std::filesystem::create_directory(folder / "dir.ini");
  try {
    IniSnapshot::load(folder / "dir.ini");
    ADD_FAILURE() << "a folder read as a settings file";
  } catch (const IniError& e) {
    EXPECT_EQ(e.kind(), IniError::Kind::Unreadable);
    EXPECT_EQ(e.subject(), (folder / "dir.ini").string());
  }
}

TEST(IniRead, Snapshot_ReadsTheFileOnce) {
  test::TempFolder folder;
  test::writeBytes(folder / "a.ini", "[s]\r\nk=1\r\n");
  const IniSnapshot snapshot = IniSnapshot::load(folder / "a.ini");
  test::writeBytes(folder / "a.ini", "[s]\r\nk=2\r\n");
  EXPECT_EQ(snapshot.get("s", "k"), "1");
  EXPECT_EQ(IniFile(folder / "a.ini").get("s", "k"), "2");
}

}  // namespace
}  // namespace sayolt
