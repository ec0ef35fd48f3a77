// The edit model works out again only the lines a change can reach; they must be the lines a fresh
// model makes of the same text.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/commctrl/edit_model.h"

using pw::commctrl::EditModel;

namespace {

// Every character is 7 pixels wide.
int Measure(std::string_view text) {
    return static_cast<int>(text.size()) * 7;
}

std::vector<size_t> Starts(const EditModel& m) {
    std::vector<size_t> starts;
    for (int line = 0; line < m.LineCount(); ++line)
        starts.push_back(m.LineStart(line));
    return starts;
}

std::vector<size_t> FreshStarts(const std::string& text, int width) {
    EditModel fresh(true);
    fresh.SetWrap(Measure, width);
    fresh.SetText(text);
    return Starts(fresh);
}

} // namespace

TEST(EditModel, EditsAnywhereGiveTheLinesAFreshModelGives) {
    const std::vector<std::string> pieces{"word ", "a much longer word ",
                                          "\r\n",  "\n",
                                          "\r",    "averyveryverylongwordwithoutanyspaceinside",
                                          "  ",    "x"};
    for (int width : {0, 40, 100}) {
        std::mt19937 random(static_cast<unsigned>(width) + 1);
        EditModel m(true);
        m.SetWrap(Measure, width);
        for (int step = 0; step < 300; ++step) {
            const size_t size = m.Text().size();
            const size_t at = step % 3 == 0 ? size : random() % (size + 1);
            const size_t removed = step % 5 == 0 ? random() % 6 : 0;
            m.SetSel(at, std::min(size, at + removed));
            m.Replace(pieces[random() % pieces.size()], false);
            ASSERT_EQ(Starts(m), FreshStarts(m.Text(), width)) << "width " << width << ", step " << step;
        }
    }
}

TEST(EditModel, AWordWiderThanTheLineBreaksWhereItStopsFitting) {
    EditModel m(true);
    m.SetWrap(Measure, 70); // ten characters
    m.SetText(std::string(35, 'a') + " b");
    EXPECT_EQ(Starts(m), (std::vector<size_t>{0, 10, 20, 30}));
    m.SetText("\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9"); // six two-byte characters, 14 px each
    m.SetWrap(Measure, 30);
    EXPECT_EQ(Starts(m), (std::vector<size_t>{0, 4, 8})) << "cut at code points";
}

TEST(EditModel, AWordOfAHundredKilobytesCostsAboutItsLengthInMeasures) {
    // A log line of a path thousands of folders deep: one word filling thousands of lines.
    size_t measured = 0;
    EditModel m(true);
    m.SetWrap(
        [&measured](std::string_view text) {
            measured += text.size();
            return Measure(text);
        },
        70);
    const std::string word(100000, 'd');
    m.SetText("Scanning: " + word + "/ done");
    // "Scanning: ", the word ten letters a line, and its last letter with the next word.
    ASSERT_EQ(m.LineCount(), 1 + 10000 + 1);
    EXPECT_EQ(m.LineStart(1), 10u);
    for (int line = 1; line + 1 < m.LineCount(); ++line)
        ASSERT_EQ(m.LineStart(line + 1) - m.LineStart(line), 10u) << line;
    EXPECT_EQ(m.Line(m.LineCount() - 1), "/ done");
    EXPECT_LE(measured, 10 * word.size());
}

TEST(EditModel, AppendingALineCostsThatLineWhateverCameBefore) {
    // As a log memo grows: a line and its break at the end, the lines asked for after each one.
    int measured = 0;
    EditModel m(true);
    m.SetWrap(
        [&measured](std::string_view text) {
            ++measured;
            return Measure(text);
        },
        700);
    constexpr int kLines = 100000;
    for (int i = 0; i < kLines; ++i) {
        m.SetSel(m.Text().size(), m.Text().size());
        m.Replace("  /var/www/site/folder " + std::to_string(i % 1000) + "/page" + std::to_string(i) +
                      ".html\r\n",
                  false);
        ASSERT_EQ(m.LineCount(), i + 2);
    }
    EXPECT_EQ(m.LineStart(kLines), m.Text().size());
    EXPECT_EQ(m.Line(kLines - 1), "  /var/www/site/folder 999/page99999.html");
    // Each line was measured once and indexed once: the total is linear in the text.
    EXPECT_EQ(measured, kLines);
    EXPECT_LE(m.IndexedBytes(), m.Text().size());
}

TEST(EditModel, ALogAppendedToLineByLineKeepsLittleUnusedRoom) {
    EditModel m(true);
    for (int i = 0; i < 50000; ++i) {
        m.SetSel(m.Text().size(), m.Text().size());
        m.Replace("  /var/www/site/page" + std::to_string(i) + ".html\r\n", false);
    }
    EXPECT_EQ(m.LineCount(), 50001);
    EXPECT_LE(m.Text().capacity(), m.Text().size() + m.Text().size() / 4 + 64);
    EXPECT_EQ(m.Line(49999), "  /var/www/site/page49999.html");
}

TEST(EditModel, ARoomTooSmallCutsTheInsertAtACodePointAndBeforeALineBreak) {
    EditModel m(true);
    m.SetText("ab");
    m.SetSel(1, 1);
    EXPECT_FALSE(m.Replace("x\xC3\xA9y", false, 2)); // room ends inside the two bytes of the accent
    EXPECT_EQ(m.Text(), "axb");
    EXPECT_FALSE(m.Replace("z\r\nw", false, 2)); // room ends between the \r and the \n
    EXPECT_EQ(m.Text(), "axzb");
    m.SetSel(1, 3); // replacing two bytes makes room for two more
    EXPECT_TRUE(m.Replace("1234", false, 2));
    EXPECT_EQ(m.Text(), "a1234b");
    EXPECT_EQ(m.LineCount(), 1);
}

TEST(EditModel, LinesEndAtEachLineFeedReturnOrPairOfThemAndTheOwnTextCanBeInsertedAgain) {
    std::mt19937 random(7);
    const char alphabet[] = {'a', ' ', '\r', '\n', 'b'};
    for (int round = 0; round < 200; ++round) {
        EditModel m(true);
        std::string text;
        for (int piece = 0; piece < 4; ++piece) {
            std::string add;
            for (int i = static_cast<int>(random() % 40); i > 0; --i)
                add += alphabet[random() % sizeof alphabet];
            m.SetSel(text.size(), text.size());
            m.Replace(add, false);
            text += add;
        }
        // Each "\r\n", lone "\r" and lone "\n" ends one line.
        std::vector<size_t> expected{0};
        for (size_t i = 0; i < text.size(); ++i)
            if (text[i] == '\n' || text[i] == '\r') {
                if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
                expected.push_back(i + 1);
            }
        ASSERT_EQ(Starts(m), expected) << "text of round " << round;
    }
    EditModel m(true);
    m.SetText("one\r\ntwo");
    m.SetSel(8, 8);
    m.Replace(m.Text(), true);
    EXPECT_EQ(m.Text(), "one\r\ntwoone\r\ntwo");
    EXPECT_EQ(m.LineCount(), 3);
    // A part of its own text that the insert outgrows, and of the undo step that the insert replaces.
    const std::string a(40, 'a'), b(40, 'b');
    m.SetText(a + b);
    m.SetSel(80, 80);
    m.Replace(std::string_view(m.Text()).substr(20), false);
    EXPECT_EQ(m.Text(), a + b + std::string(20, 'a') + b);
    m.SetText(a);
    m.SetSel(40, 40);
    m.Replace(b, true);
    const std::string_view before = m.Text();
    ASSERT_TRUE(m.Undo());
    m.SetSel(40, 40);
    m.Replace(before, true);
    EXPECT_EQ(m.Text(), a + a + b);
}
