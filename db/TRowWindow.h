#pragma once

class TQueryRows;
class TSelectStatement;

// Which rows of a live query that read only its rows' keys hold their
// values: the rows around the ones asked for, read a page at a time by
// their keys, and the rows the program gave values to (edited, appended,
// put back), which the table may not yield as they are. Rows far from
// the ones asked for lately give their values back, so that the memory
// a list holds does not grow with the rows it has.
class TRowWindow {
public:
    // Rows read at once, aligned to multiples of PageRows.
    static constexpr int PageRows = 64;
    // About as many rows stay read on either side of the row asked for
    // when the window is trimmed.
    static constexpr int KeptRows = 1024;

    // Reads the page of the row at index unless that row holds its values
    // already; then, now and then, lets rows far from index go, never the
    // row at current. A row the statement no longer yields (another
    // program deleted it) holds its key and NULL elsewhere.
    void Read(TQueryRows& rows, int index, int current, TSelectStatement& select);
    void Clear();

private:
    void Trim(TQueryRows& rows, int index, int current);

    int sinceTrim_ = 0;
};
