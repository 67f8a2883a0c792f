// The byte source of the PPD reader: hands out the bytes of the file one at a
// time with one byte of lookahead.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

// Returns the next byte of input as 0-255, or -1 at end of input.
typedef int32_t (*PpdReadFn)(void *context);

// The plug-in's reader: the next byte of the FILE* passed as context, as
// fgetc gives it (through ppdReadStreamByte); -1 at end of file, on a read
// error, or when no file is given.
int32_t fileReadByte(void *context);

// One byte from a buffered stream, 0-255 or -1 at end of file or on a read
// error, without taking the stream's lock: the reader opens the file itself
// and reads it from one thread only, so the lock would guard nothing. With
// msvcrt this is the stream macro over the public FILE fields (the buffer
// is refilled by _filbuf); elsewhere getc_unlocked.
inline int32_t ppdReadStreamByte(FILE *file) {
    // Both give the byte as 0-255 (the stream buffer is read as unsigned
    // char) and EOF (-1) at the end.
    static_assert(EOF == -1, "end of file is -1");
#ifdef _WIN32
    return _fgetc_nolock(file);
#else
    return getc_unlocked(file);
#endif
}

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

    // The open stream when the reader is fileReadByte over a file, else
    // null. Readers of many bytes use it to take each byte straight from
    // the stream (ppdReadStreamByte), once the lookahead is empty.
    FILE *stream() const { return readFn == fileReadByte ? static_cast<FILE *>(context) : nullptr; }

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
        if (readFn == fileReadByte) return context ? ppdReadStreamByte(static_cast<FILE *>(context)) : -1;
        if (!readFn) return -1;
        int32_t b = readFn(context);
        return (b >= 0 && b <= 255) ? b : -1;
    }
};

// A reader over bytes in memory, for tests, fuzzing and tools: pass the
// address of a PpdMemoryInput as context.
struct PpdMemoryInput {
    const unsigned char *data;
    size_t size;
    size_t position;
};
int32_t memoryReadByte(void *context);
