// The decoder window, offscreen; error boxes are captured instead of shown.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <string>
#include <vector>

#include "DecoderWindow.h"
#include "ErrorBox.h"
#include "text/Cp932.h"

// Readable failures.
void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace pomurina {
namespace {

class DecoderWindow : public ::testing::Test {
protected:
    void SetUp() override {
        SetErrorBoxHandler([this](const std::string& text) { m_boxes.push_back(text); });
    }
    void TearDown() override { SetErrorBoxHandler({}); }

    // Puts text into the pane, presses the button and gives the pane's text back.
    QString Press(const QString& text) {
        m_window.Memo1->setPlainText(text);
        return Press();
    }
    QString Press() {
        m_window.RunButton->click();
        return m_window.Memo1->toPlainText();
    }

    TUTF m_window;
    std::vector<std::string> m_boxes;
};

TEST_F(DecoderWindow, DecodesEveryLineInPlaceAndLeavesTheLastLineEnd) {
    // Japanese typed as it is isn't UTF-8 once in Shift-JIS: its line empties.
    EXPECT_EQ(Press(u"%E3%81%82\nx+y%20z\n%41%42Z\n走る\n"_qs), u"あ\nx+y z\nABZ\n\n"_qs);
    EXPECT_EQ(m_window.Memo1->blockCount(), 5);
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(DecoderWindow, AFailingLineStopsTheWorkWithOneBox) {
    EXPECT_EQ(Press(u"%E3%81%82\n%ZZ\n%41"_qs), u"あ\n%ZZ\n%41"_qs);
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0], Utf8ToCp932("不正なURL."));
    // The next press works as ever.
    EXPECT_EQ(Press(u"%41"_qs), u"A"_qs);
    EXPECT_EQ(m_boxes.size(), 1u);
}

TEST_F(DecoderWindow, EmptyPaneAndEmptyLines) {
    EXPECT_EQ(Press(QString()), QString());
    EXPECT_EQ(Press(u"\n\n%41\n"_qs), u"\n\nA\n"_qs);
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(DecoderWindow, ASecondPressRereadsDecodedText) {
    EXPECT_EQ(Press(u"%E3%81%82"_qs), u"あ"_qs);
    // 82 A0 read as UTF-8 is U+00A0, which Shift-JIS lacks.
    EXPECT_EQ(Press(), u"?"_qs);
}

TEST_F(DecoderWindow, ZeroBytesAndLineBreaksStayInTheirLine) {
    // Every decoded line stays one pane line, so no line is skipped or done twice.
    EXPECT_EQ(Press(u"100%\nc%0D%0Ad\n%41%00\n%E3%81\nZ%25"_qs),
              u"100%00\nc%0D%0Ad\nA%00\n\nZ%"_qs);
    EXPECT_EQ(m_window.Memo1->blockCount(), 5);
}

TEST_F(DecoderWindow, ALineOfTenThousandBytesIsDecodedWhole) {
    QString line;
    QString expected;
    for (int i = 0; i < 1111; ++i) {
        line += u"%E3%81%82"_qs;
        expected += u"あ"_qs;
    }
    line += u"Z"_qs;
    expected += u"Z"_qs;
    ASSERT_EQ(line.size(), 10000);
    EXPECT_EQ(Press(line + u"\n%41"_qs), expected + u"\nA"_qs);
}

TEST_F(DecoderWindow, TheButtonKeepsToTheBottomRightCorner) {
    m_window.show();
    const auto gap = [this] {
        const QRect button = m_window.RunButton->geometry();
        return QPoint(m_window.width() - button.right(), m_window.height() - button.bottom());
    };
    const QPoint before = gap();
    const int paneWidth = m_window.Memo1->width();
    m_window.resize(800, 600);
    EXPECT_EQ(gap(), before);
    EXPECT_GT(m_window.Memo1->width(), paneWidth);
    EXPECT_GT(m_window.Memo1->geometry().bottom(), 400);
    EXPECT_LT(m_window.Memo1->geometry().bottom(), m_window.RunButton->geometry().top());
}

}  // namespace
}  // namespace pomurina
