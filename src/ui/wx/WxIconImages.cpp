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
    const SIconImage* chosen = icon.ImageFor(size);
    if (chosen == nullptr)
        return wxBitmap();
    const wxImage image = DecodePng(*chosen);
    return image.IsOk() ? wxBitmap(image) : wxBitmap();
}
