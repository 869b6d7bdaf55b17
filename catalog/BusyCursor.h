#pragma once

// Shows the busy cursor for its lifetime: the cursor shown before comes back
// on every way out of the scope, an exception included.
class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    bool shown_ = false;
};
