#include "ui/wx/WxApplication.h"

bool CWxApplication::OnInit()
{
    return true;
}
