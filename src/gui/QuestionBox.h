#pragma once
// A yes-or-no question to the user: caption "ポムリナ", the warning icon,
// "はい" and "いいえ", with "いいえ" the default, so that a stray Enter
// never agrees.  Shown as the boxes of ErrorBox.h are (ErrorBox.cpp).
#include <functional>
#include <string>

namespace pomurina {

// Asks the question (Shift-JIS; a carriage return starts a new line);
// whether the user answered yes.
bool AskQuestion(const std::string& question);

// Where questions go instead of the screen (tests): receives the text and
// gives the answer.  An empty handler restores the real box.
using QuestionHandler = std::function<bool(const std::string& question)>;
void SetQuestionHandler(QuestionHandler handler);

}  // namespace pomurina
