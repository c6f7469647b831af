#include "tests/support/message_box_script.h"

#include <deque>
#include <windows.h>

#include "frame/messages.h"
#include "frame/status_window.h"

std::vector<shown_box> shown_boxes;
int unplanned_questions;
static std::deque<int> planned_answers;
static std::function<void()> box_action;

void plan_answers(std::initializer_list<int> answers)
{
    planned_answers.insert(planned_answers.end(), answers.begin(), answers.end());
}

void reset_message_boxes()
{
    shown_boxes.clear();
    planned_answers.clear();
    unplanned_questions = 0;
    box_action = nullptr;
}

void while_next_box_is_open(std::function<void()> action)
{
    box_action = std::move(action);
}

int show_message_box(const char* text, const char* caption, UINT flags)
{
    shown_boxes.push_back({caption ? caption : "", text ? text : "", flags,
                           status_window != nullptr});
    if (box_action) {
        std::function<void()> action = std::move(box_action);
        box_action = nullptr;
        action();
    }
    if (!planned_answers.empty()) {
        int answer = planned_answers.front();
        planned_answers.pop_front();
        return answer;
    }
    if ((flags & MB_TYPEMASK) == MB_YESNO) {
        ++unplanned_questions;
        return IDNO;
    }
    return IDOK;
}
