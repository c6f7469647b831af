// Scripted message box for test builds of the programs that run as separate
// processes: answers come from an environment variable (inherited by child
// processes), and every box is appended to a log file.
#pragma once

// Comma-separated answers for the process's boxes in order, e.g. "6,1". Boxes
// without an answer get 1 (OK), or 7 (No) for a Yes/No question.
#define QF_BOX_ANSWERS_VARIABLE "QF_BOX_ANSWERS"
// Full path of the log file; without it nothing is logged.
#define QF_BOX_LOG_VARIABLE "QF_BOX_LOG"

// One record per box, in the system code page:
//   "BOX <process id> <flags> <had owner 0|1> <caption length> <text length>\n"
//   then the caption's bytes, "\n", the text's bytes, "\n".
// The lengths make the record readable whatever the texts contain.
