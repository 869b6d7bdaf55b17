#pragma once

#include <QString>

// Every notice and every question of the program goes through these two.

// Shows the text in the program's message dialog and returns when it is
// closed.
void ShowMsg(const QString& text);

// Asks the question in the program's confirmation dialog; true for Yes.
bool Ask(const QString& question);
