#include "ppd/byte_source.h"

#include <stdio.h>

ByteSource::~ByteSource() = default;

int32_t fileReadByte(void *context) {
    if (!context) return -1;
    return ppdReadStreamByte(static_cast<FILE *>(context));
}

int32_t memoryReadByte(void *context) {
    PpdMemoryInput *input = static_cast<PpdMemoryInput *>(context);
    if (!input || !input->data || input->position >= input->size) return -1;
    return input->data[input->position++];
}
