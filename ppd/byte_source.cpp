#include "ppd/byte_source.h"

#include <stdio.h>

ByteSource::~ByteSource() = default;

int32_t fileReadByte(void *context) {
    if (!context) return -1;
    int c = fgetc(static_cast<FILE *>(context));
    return c == EOF ? -1 : (c & 0xFF);
}

int32_t memoryReadByte(void *context) {
    PpdMemoryInput *input = static_cast<PpdMemoryInput *>(context);
    if (!input || !input->data || input->position >= input->size) return -1;
    return input->data[input->position++];
}
