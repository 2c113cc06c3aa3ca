#pragma once
// The small window that shows long work as it goes (ProgressTemplate: a line of
// text, a progress bar, and one button that stops the work), while the work
// runs on the window's own thread and hands messages on between entries, so
// the window repaints and answers the system. Its owner is disabled while it
// lives, as under any modal box; the window itself shows only once the work
// has taken ProgressShowAfterMs, and, while the work can say how far it is,
// only if at its pace it would not end within that much more (a window up
// for a moment only flashes), or once it has taken twice as long. At most
// one lives at a time.
#include <windows.h>

#include <cstdint>
#include <string>

#include "app/res/resource.h"

constexpr unsigned ProgressShowAfterMs = 500;
constexpr unsigned ProgressPumpEveryMs = 30;

class ProgressWindow {
public:
    // caption: the window's title (what the system names when the work holds
    // up the end of the session); button: "キャンセル" or "中止".
    ProgressWindow(HWND owner, const char* caption, const char* button);
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;
    // Closes the window and gives the owner back its input.
    ~ProgressWindow();

    // Called between entries, as often as the work likes: every few
    // milliseconds shows text and, for a total above 0, the bar at done of
    // total, and hands on the messages waiting. False once the button was
    // pressed: the work then stops after its current entry.
    bool Update(const std::string& text, std::uint64_t done = 0, std::uint64_t total = 0);
    // The same, the text made by makeText only when it is shown: work that
    // calls this per entry formats no text between shows.
    template <typename MakeText>
    bool UpdateWith(MakeText makeText, std::uint64_t done = 0, std::uint64_t total = 0) {
        return GetTickCount64() - lastPump < ProgressPumpEveryMs ? !stopped : Update(makeText(), done, total);
    }

    // Whether any progress window lives now (the work it shows is running).
    static bool Running();
    // A close of the main window asked for while the work runs: done once it ends.
    static void CloseOwnerAfterwards();
    // Whether such a close waits now: work that can be cancelled without
    // loss (a count) stops for it.
    static bool CloseAsked();

private:
    // Whether work that has done done of total (0: unknown) will end too
    // soon for the window to be worth showing.
    bool EndsSoon(ULONGLONG now, std::uint64_t done, std::uint64_t total);

    HWND owner;
    HWND window = nullptr;
    bool ownerWasEnabled;
    bool stopped = false;
    ULONGLONG started;
    ULONGLONG lastPump = 0;
    // The step under way, which starts whenever the total changes.
    std::uint64_t stepTotal = 0, stepDone = 0;
    ULONGLONG stepStarted = 0;
    std::string caption, button;
};
