#pragma once
// A main window and a progress window of their own, in a program directory
// of their own, with the error boxes and the open dialog answered by the test.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "GuiTestKit.h"
#include "InsightWindow.h"
#include "MainWindow.h"
#include "OpenDialog.h"
#include "ProgressWindow.h"

namespace pomurina::guitest {

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() { Form2 = &progress; }
    ~MainWindowTest() override {
        Form2 = nullptr;
        SetOpenFileChooser(nullptr);
    }

    // Writes a log of the lines (CR LF after each); returns its full path.
    std::string WriteLog(const std::string& name, const std::vector<std::string>& lines) {
        std::string text;
        for (const auto& line : lines) text += line + "\r\n";
        return home.WriteFile(name, text);
    }
    // Runs the window's analysis as a command would, and the same run on the
    // in-memory reference window; the error box text, if any.
    std::optional<std::string> Run(const std::string& path);
    // The window's state equals the reference window's, error line included.
    void ExpectSameStateAsReference(const std::optional<std::string>& error = std::nullopt);
    // Every pane's view shows as many rows as the pane holds lines.
    void ExpectViewsCaughtUp();

    ProgramHome home;
    CaughtBoxes boxes;
    TForm1 form;
    TForm2 progress;
    MemoryWindow reference;  // the report tool's window, run alongside
};

// The same, with an analysis window, both the process's own (Form1, InsightForm).
class BothWindowsTest : public MainWindowTest {
protected:
    BothWindowsTest() {
        Form1 = &form;
        InsightForm = &insight;
    }
    ~BothWindowsTest() override {
        Form1 = nullptr;
        InsightForm = nullptr;
    }

    TInsight insight;
};

}  // namespace pomurina::guitest
