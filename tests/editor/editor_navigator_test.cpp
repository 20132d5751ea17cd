// The road through the pages: a page that cannot be read when it opens later gets the same
// repair question as at start-up; leaving a page unloads it and coming back reads it again.
#include "editor/ui/editor_navigator.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include "tests/editor/editor_fakes.h"
#include "tests/editor/editor_files.h"
#include "tests/support/qt_test_app.h"

namespace sayolt::editor::ui {
namespace {

// A page that reads one key and refuses "bad", counting its reads.
class KeyPage : public EditorPage {
 public:
  KeyPage(EditorContext& context, PageId id, int& reads)
      : EditorPage(context.services.dialogs), context_(context), id_(id), reads_(reads) {}
  void load() override {
    ++reads_;
    if (context_.settings.get(pageSections(id_).front(), "k") == "bad") throw PageLoadError(id_, "k");
  }

 private:
  EditorContext& context_;
  PageId id_;
  int& reads_;
};

struct EditorNavigatorTest : ::testing::Test {
  EditorNavigatorTest() {
    test::qtTestApp();
    for (PageId id : {PageId::Main, PageId::TimedPrograms, PageId::Dates})
      navigator.setPageFactory(id, [this, id](EditorContext& c) -> std::unique_ptr<EditorPage> {
        return std::make_unique<KeyPage>(c, id, reads[static_cast<int>(id)]);
      });
  }
  static void deleteLeftPages() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

  test::TempFolder folder;
  std::filesystem::path path = folder / "Sayolt設定.ini";
  test::FakeEditorServices fakes;
  EditorContext context{folder.path(), fakes.services()};
  EditorNavigator navigator{context};
  int reads[4] = {};
};

TEST_F(EditorNavigatorTest, NextAndBackReadEachPageAgain) {
  ASSERT_TRUE(navigator.start());
  emit navigator.currentPage()->nextRequested();
  EXPECT_EQ(navigator.currentPageId(), PageId::TimedPrograms);
  emit navigator.currentPage()->nextRequested();
  EXPECT_EQ(navigator.currentPageId(), PageId::Dates);
  emit navigator.currentPage()->backRequested();
  emit navigator.currentPage()->backRequested();
  deleteLeftPages();
  EXPECT_EQ(navigator.currentPageId(), PageId::Main);
  EXPECT_EQ(reads[1], 2);
  EXPECT_EQ(reads[2], 2);
  EXPECT_EQ(reads[3], 1);
  EXPECT_TRUE(navigator.currentPage()->isVisible());
}

TEST_F(EditorNavigatorTest, PageDamagedWhenOpenedLaterIsOfferedForErasing) {
  test::writeIniText(path, "[時刻指定プログラム]\r\nk=bad\r\n[祝日]\r\nk=bad\r\n[次回起動]\r\n時刻=8:00\r\n");
  ASSERT_TRUE(navigator.start());
  fakes.dialogs.answers = {MessageAnswer::Yes, MessageAnswer::No};
  emit navigator.currentPage()->nextRequested();
  EXPECT_EQ(navigator.currentPageId(), PageId::TimedPrograms);
  EXPECT_EQ(reads[2], 2);  // read again after the erasing
  EXPECT_EQ(test::readIniText(path), "[祝日]\r\nk=bad\r\n[次回起動]\r\n時刻=8:00\r\n");

  const std::string before = test::readBytes(path);
  emit navigator.currentPage()->nextRequested();  // No: the editor ends, nothing written
  EXPECT_TRUE(navigator.ended());
  EXPECT_EQ(navigator.currentPage(), nullptr);
  EXPECT_EQ(test::readBytes(path), before);
  EXPECT_EQ(fakes.dialogs.questions,
            (std::vector<std::string>{repairQuestion(PageId::TimedPrograms), repairQuestion(PageId::Dates)}));
}

TEST_F(EditorNavigatorTest, UnreadableFileIsToldAndEndsTheEditorWithoutErasing) {
  std::filesystem::create_directory(path);  // a folder where the file should be
  EXPECT_FALSE(navigator.start());
  EXPECT_TRUE(navigator.ended());
  EXPECT_TRUE(fakes.dialogs.questions.empty());
  ASSERT_EQ(fakes.dialogs.messages.size(), 1u);
  // Japanese throughout: the file named, what to check, and that the editor ends.
  const std::string& message = fakes.dialogs.messages[0];
  EXPECT_EQ(message.rfind("設定ファイル「" + path.string() + "」を読めませんでした。", 0), 0u) << message;
  EXPECT_NE(message.find("確かめてください。\nSayolt設定を終了します。"), std::string::npos) << message;
  EXPECT_EQ(message.find("cannot"), std::string::npos);
}

TEST_F(EditorNavigatorTest, ClosingByTheFrameEndsTheEditor) {
  ASSERT_TRUE(navigator.start());
  bool ended = false;
  QObject::connect(&navigator, &EditorNavigator::editorEnded, [&ended] { ended = true; });
  navigator.currentPage()->close();
  EXPECT_TRUE(ended);
}

}  // namespace
}  // namespace sayolt::editor::ui
