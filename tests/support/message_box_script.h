// Scripted stand-in for the programs' one message box: test builds link this
// instead of the real show_message_box. Every box is recorded (caption, text as
// it would be shown, flags) and answered from a planned list of answers.
#pragma once
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

struct shown_box {
    std::string caption;
    std::string text;
    unsigned flags;
    bool had_owner;
};

extern std::vector<shown_box> shown_boxes;
// Question boxes (MB_YESNO) asked when no planned answer was left; they are
// answered with No (7) so that an unexpected question never changes anything.
extern int unplanned_questions;

// Answers for the next boxes, in order. Boxes without a planned answer get
// 1 (OK), or 7 (No) for a Yes/No question.
void plan_answers(std::initializer_list<int> answers);
void reset_message_boxes();
// Runs action while the next box is open (before it is answered), as another
// program or the user would act while a question waits.
void while_next_box_is_open(std::function<void()> action);
