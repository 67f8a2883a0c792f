// The byte source of the PPD reader: hands out the bytes of the file one at a
// time with one byte of lookahead.
#pragma once

#include <stddef.h>
#include <stdint.h>

// Returns the next byte of input as 0-255, or -1 at end of input.
typedef int32_t (*PpdReadFn)(void *context);

class ByteSource {
public:
    ByteSource(PpdReadFn readFn, void *context) : readFn(readFn), pushback(-1), context(context) {}
    virtual ~ByteSource();
    ByteSource(const ByteSource &) = delete;
    ByteSource &operator=(const ByteSource &) = delete;

    // The next byte (the lookahead byte if one is held), or -1 at end of
    // input. The lookahead is empty afterwards.
    int32_t get() {
        if (pushback >= 0) {
            int32_t b = pushback;
            pushback = -1;
            return b;
        }
        return readRaw();
    }

    // The next byte without consuming it. End of input leaves the lookahead
    // empty, so the next get asks the reader again.
    int32_t peek() {
        if (pushback < 0) pushback = readRaw();
        return pushback;
    }

    PpdReadFn readFn;
    int32_t pushback;
    void *context;

private:
    // A missing reader is end of input; anything outside 0-255 from the
    // reader is treated as end of input too.
    int32_t readRaw() {
        if (!readFn) return -1;
        int32_t b = readFn(context);
        return (b >= 0 && b <= 255) ? b : -1;
    }
};

// The plug-in's reader: fgetc of the FILE* passed as context (-1 at end of
// file, on a read error, or when no file is given).
int32_t fileReadByte(void *context);

// A reader over bytes in memory, for tests, fuzzing and tools: pass the
// address of a PpdMemoryInput as context.
struct PpdMemoryInput {
    const unsigned char *data;
    size_t size;
    size_t position;
};
int32_t memoryReadByte(void *context);
