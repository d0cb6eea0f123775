#pragma once

class CDialog;

// Translates, in place, the caption of the dialog and the captions of its button and static
// controls (edit fields and other controls keep their texts). Captions are read as into a buffer
// of 260 bytes, so longer ones are cut to 259 bytes. True when every control was visited.
bool TranslateWindowTexts(CDialog& window);
