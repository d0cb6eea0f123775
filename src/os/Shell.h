#pragma once

// Starting documents and programs the way the desktop does when the operator opens them.
namespace os
{

// Starts `path` with the desktop's "open" action, with `workingDirectory` as the started program's
// current directory (the caller's own when empty), and returns without waiting for it. A relative
// `path` is taken relative to the caller's current directory. False when nothing could be started.
bool OpenWithDesktop(const char* path, const char* workingDirectory);

} // namespace os
