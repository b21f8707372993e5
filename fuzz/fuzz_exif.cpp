// libFuzzer target: the EXIF reader on arbitrary bytes.
//   cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DKAVEL_FUZZ=ON
//   cmake --build build-fuzz --target fuzz_exif
//   build-fuzz/bin/fuzz_exif -max_total_time=900 fuzz/corpus/exif
#include "photos/ExifReader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    kavel::ExifReader reader;
    reader.AnalyseOctets(QByteArrayView(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    // The results are always one of the outcomes the reader knows.
    if (reader.ValLux < -5 || (reader.ValLux > 0 && !(reader.ValEV > -100)))
        __builtin_trap();
    return 0;
}
