// The developer console's built-in text images (see MemPixelData's text-image constructor).
#pragma once

namespace Tarv
{

// 792 x 7: 99 glyph cells of 8 x 7, cell i for byte 32 + i; white on black. Null-terminated.
extern const char* const CONSOLE_FONT_IMAGE[];
// 32 x 32 disk-access icon; its magenta pixels are the colour key. Null-terminated.
extern const char* const DISK_ICON_IMAGE[];

} // namespace Tarv
