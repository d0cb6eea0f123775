#include "ui/TabOrder.h"

#include "ui/DialogWindow.h"

int CTabOrder::NextEnabledTabStop(const CDialogWindow& window, int index)
{
    const int count = window.GetControlCount();
    for (int step = 1; step <= count; ++step)
    {
        const int candidate = (index + step) % count;
        if (candidate == index)
            break;
        if (window.GetControlTemplate(candidate).HasStyle(StyleTabStop) && window.IsControlEnabled(candidate))
            return candidate;
    }
    return -1;
}
