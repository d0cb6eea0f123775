#pragma once

#include "ui/Static.h"

// A field label that draws only its text, so the dialog's background picture stays visible behind
// it.
class CTransparentLabel : public CStatic
{
public:
    CTransparentLabel() = default;
    ~CTransparentLabel() override;

protected:
    bool OnEraseBkgnd(CPaintContext& dc) override;
    void OnPaint(CPaintContext& dc) override;
};
