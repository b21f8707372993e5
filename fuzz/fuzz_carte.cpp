// libFuzzer target: the file map on arbitrary bytes, with its previews
// (every container walker: JPEG segments, TIFF directories, RAF, ISO boxes).
//   cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DKAVEL_FUZZ=ON -DKAVEL_BUILD_TESTS=OFF -DKAVEL_BUILD_BENCH=OFF
//   cmake --build build-fuzz --target fuzz_carte
//   mkdir /tmp/corpus && find ../shared/exif ../shared/exif-raw -type f ! -name '*.md' ! -name '*.tsv' \
//     -exec cp {} /tmp/corpus \; && build-fuzz/bin/fuzz_carte -max_len=8000000 -max_total_time=1800 /tmp/corpus
#include "photos/exif/CarteFichier.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace kavel;
    SourceMemoire source(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    const CarteFichier carte = carteFichier(source, Recherche::ExifEtApercus);
    // Every place the map gives lies within the file.
    for (const PlageApercu &a : carte.apercus) {
        if (a.debut < 0 || a.longueur <= 0 || a.longueur > qint64(size) - a.debut)
            __builtin_trap();
        if (a.orientation < 0 || a.orientation > 8)
            __builtin_trap();
    }
    for (const BlocExif &b : carte.exif) {
        if (b.debut < 0 || b.taille < 0 || b.tiff < 0 || b.fin < b.tiff || b.fin > b.taille)
            __builtin_trap();
    }
    if (!carte.exif.empty() && carte.defaut != CarteFichier::Defaut::Aucun)
        __builtin_trap();
    return 0;
}
