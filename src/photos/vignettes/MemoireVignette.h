#pragma once

// The memory a thumbnail may take while it is made.
#include <QtGlobal>

namespace kavel {

// What making one thumbnail may hold at once, whatever the photo's size:
// every picture decoded on the way (a JPEG's block means or its reduced
// decoding, a raw file's preview, a HEIF picture) stays within it, and a
// photo that would need more shows the grey frame. A 100-megapixel JPEG
// read from its block means takes about 12 MB of it.
inline constexpr qint64 kMemoireVignette = 40LL * 1024 * 1024;

} // namespace kavel
