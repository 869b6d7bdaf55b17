#pragma once

#include <QString>
#include <QStringList>

// Statements run for the user on "ADB", whose engine errors are shown in
// the standard message box rather than raised.

// Runs a select against "ADB" and returns the first column of the first row
// as text; empty when there is no row. An engine error is shown in the
// standard message box and gives the empty string.
QString QueryValue(const QStringList& lines);

// Runs a statement without result rows against "ADB"; false, after showing
// the error in the standard message box, when it fails.
bool ExecSql(const QStringList& lines);
