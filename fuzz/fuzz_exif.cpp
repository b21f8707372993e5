// libFuzzer target: the EXIF reader on arbitrary bytes (JPEG, TIFF and RAW,
// RAF, CR3 and HEIF alike; the seeds hold one of each).
//   cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DKAVEL_FUZZ=ON -DKAVEL_BUILD_TESTS=OFF -DKAVEL_BUILD_BENCH=OFF
//   cmake --build build-fuzz --target fuzz_exif
//   cp -r fuzz/corpus/exif /tmp/corpus && build-fuzz/bin/fuzz_exif -max_total_time=900 /tmp/corpus
#include "photos/exif/ExifReader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    kavel::ExifReader reader;
    reader.AnalyseOctets(QByteArrayView(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    // The results are always one of the outcomes the reader knows, and a
    // light level comes with the exposure it was computed from.
    const bool lumiere = reader.ValLux > 0;
    if (reader.ValLux < -5 || (lumiere && !(reader.ValEV > -100)))
        __builtin_trap();
    if (lumiere != (reader.ValSpeed > 0 && reader.ValDiaf > 0 && reader.ValIso > 0))
        __builtin_trap();
    if (!reader.Statut.isEmpty() && reader.Statut != kavel::ExifReader::kDepassement)
        __builtin_trap();
    return 0;
}
