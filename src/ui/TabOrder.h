#pragma once

class CDialogWindow;

// The order in which the focus moves through a dialog's controls, as a dialog manager keeps it:
// template order, enabled tab stops only, going round from the last control to the first.
class CTabOrder
{
public:
    // The first enabled tab stop after control `index` (from the first control when `index` is
    // -1), never `index` itself; -1 when no other control can take the focus.
    static int NextEnabledTabStop(const CDialogWindow& window, int index);
};
