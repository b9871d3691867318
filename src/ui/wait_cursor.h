#pragma once
// The hourglass, through the application's override-cursor stack, so that whatever cursor was
// there before comes back.

namespace sifter::ui {

// Pushes the hourglass for as long as the object lives.
class WaitCursor final {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// For a callback that is told when to start and when to stop.
void SetWaitCursor(bool busy);

}  // namespace sifter::ui
