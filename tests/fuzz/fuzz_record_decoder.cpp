// libFuzzer target: any bytes through the record decoder, then the encoder and the decoder
// again. Whatever a hand-edited or foreign file holds, the buffer stays within its fields, the
// kind byte within 0-199, and one rewrite is final: decoding the written line gives the same
// buffer and writing it again the same line.
#include <cstdlib>
#include <cstring>

#include "common/db_record.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RecordBuffer first;
    decodeRecord(data, size, first);
    if (recordKind(first) > 199 || isFolderKind(recordKind(first)) != isFolderRecord(first) ||
        isTourKind(recordKind(first)) != isTourRecord(first))
        std::abort();
    uint8_t line[recordSize];
    RecordBuffer written = first;
    encodeRecord(written, line);
    if (std::memcmp(&written, &first, sizeof first) != 0 || line[62] != '\r' || line[63] != '\n')
        std::abort();
    RecordBuffer second;
    decodeRecord(line, recordSize, second);
    uint8_t again[recordSize];
    encodeRecord(second, again);
    if (std::memcmp(&second, &first, sizeof first) != 0 ||
        std::memcmp(again, line, recordSize) != 0)
        std::abort();
    return 0;
}
