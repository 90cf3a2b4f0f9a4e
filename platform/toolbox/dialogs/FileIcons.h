#pragma once

// The small icons of the file dialogs' list, drawn in code so that the dialogs
// need no image files: a folder, a document of this program, any other file.

#include "quartz/CGContext.h"

namespace tw::toolbox::dialogs {

enum class FileIcon { Folder, Document, File };

inline constexpr CGFloat kFileIconSize = 16; // [px] the size the drawing is made for

// Draws the icon into a square box of a flipped (y down) context.
void DrawFileIcon(CGContextRef c, CGRect box, FileIcon icon);

} // namespace tw::toolbox::dialogs
