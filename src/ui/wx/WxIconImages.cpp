#include "ui/wx/WxIconImages.h"

#include "ui/IconResource.h"

#include <wx/image.h>
#include <wx/mstream.h>

namespace
{

wxImage DecodePng(const SIconImage& image)
{
    wxMemoryInputStream stream(image.png, image.length);
    return wxImage(stream, wxBITMAP_TYPE_PNG);
}

} // namespace

wxIconBundle CWxIconImages::Bundle(const SIconResource& icon)
{
    wxIconBundle bundle;
    for (int index = 0; index < icon.imageCount; ++index)
    {
        const wxImage image = DecodePng(icon.images[index]);
        if (!image.IsOk())
            continue;
        wxIcon frame;
        frame.CopyFromBitmap(wxBitmap(image));
        bundle.AddIcon(frame);
    }
    return bundle;
}

wxBitmap CWxIconImages::Bitmap(const SIconResource& icon, int size)
{
    if (icon.imageCount <= 0)
        return wxBitmap();
    // Images are ordered smallest first.
    int chosen = icon.imageCount - 1;
    for (int index = 0; index < icon.imageCount; ++index)
    {
        if (icon.images[index].size >= size)
        {
            chosen = index;
            break;
        }
    }
    const wxImage image = DecodePng(icon.images[chosen]);
    return image.IsOk() ? wxBitmap(image) : wxBitmap();
}
