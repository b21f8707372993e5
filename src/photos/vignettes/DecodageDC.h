#pragma once

// A JPEG made small from the means of its 8 x 8 blocks.

#include <QImage>

class QIODevice;

namespace kavel {

// A JPEG seen at one eighth of its size, each 8 x 8 block of the photo
// becoming one pixel of its mean colour, taken from the blocks' DC
// coefficients alone: no inverse transform, and for a progressive JPEG only
// its first scans are decoded. The file is read in small blocks, and what
// is held grows with the picture's area / 64 only. Null for what this cannot decode (not a JPEG, 12-bit,
// arithmetic or lossless coding, CMYK) or when the picture would need more
// than budget bytes; a damaged or cut file keeps what was read, the rest
// grey.
QImage jpegHuitieme(QIODevice &fichier, qint64 budget);

} // namespace kavel
