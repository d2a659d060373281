// The reader of comma-separated, quoted fields: it ends on any text, and each call
// moves forward.

#include "app/common/Conversions.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(fuzz::bytes(data, size));
    // Lines and fields alternate by the first byte, as the list files mix them.
    SequentialFieldReader reader(text);
    qsizetype calls = 0;
    bool lines = size > 0 && (data[0] & 1);
    while (!reader.atEnd()) {
        fuzz::expect(++calls <= text.size() + 2, "the reader moves forward");
        const std::optional<QString> value = lines ? reader.nextLine() : reader.next();
        if (!value)
            break;
        lines = !lines;
    }
    (void)leadingNumber(text);
    (void)numericValue(text);
    return 0;
}
