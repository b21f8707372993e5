// libFuzzer target: the JPEG reader of thumbnails (blocks' means) on
// arbitrary bytes; the seeds are small baseline, progressive and grey JPEGs.
//   cmake --build build-fuzz --target fuzz_vignette
//   cp -r fuzz/corpus/vignette /tmp/corpus && build-fuzz/bin/fuzz_vignette -max_total_time=600 /tmp/corpus
#include "photos/vignettes/DecodageDC.h"

#include <QBuffer>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QBuffer buffer;
    buffer.setData(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    buffer.open(QIODevice::ReadOnly);
    constexpr qint64 kBudget = 4 * 1024 * 1024;
    const QImage image = kavel::jpegHuitieme(buffer, kBudget);
    // Whatever the bytes say, the picture stays within the budget.
    if (!image.isNull() && qint64(image.width()) * image.height() * 4 > kBudget)
        __builtin_trap();
    return 0;
}
