#include "app/TransparentLabel.h"

#include "ui/PaintContext.h"

CTransparentLabel::~CTransparentLabel() = default;

bool CTransparentLabel::OnEraseBkgnd(CPaintContext&)
{
    // Reported as erased without drawing: the dialog's background shows through.
    return true;
}

void CTransparentLabel::OnPaint(CPaintContext& dc)
{
    const SFontHandle previousFont = dc.SelectFont(GetFont());
    dc.SetTransparentBackground(true);
    dc.DrawText(GetWindowText(), GetClientRect());
    dc.SelectFont(previousFont);
}
