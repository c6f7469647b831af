#include "tests/support/message_box_script.h"

#include <deque>
#include <windows.h>

#include "frame/messages.h"
#include "frame/status_window.h"

std::vector<shown_box> shown_boxes;
int unplanned_questions;
static std::deque<int> planned_answers;

void plan_answers(std::initializer_list<int> answers)
{
    planned_answers.insert(planned_answers.end(), answers.begin(), answers.end());
}

void reset_message_boxes()
{
    shown_boxes.clear();
    planned_answers.clear();
    unplanned_questions = 0;
}

int show_message_box(const char* text, const char* caption, UINT flags)
{
    shown_boxes.push_back({caption ? caption : "", text ? text : "", flags,
                           status_window != nullptr});
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
